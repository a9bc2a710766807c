// Stand-ins for the faces the language rows of the forms ask for, for systems that lack them
// (Wine, or a Linux desktop): a font of the same script, so that its own line height sizes the
// captions instead of a Latin face's with the script's glyphs borrowed from elsewhere, which
// clips them.
#pragma once

namespace tambrel {

// Registers the stand-ins with Qt's font matching; a face that is installed is used itself.
void installFaceSubstitutes();

} // namespace tambrel
