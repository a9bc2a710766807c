# Installation and packaging; filled in with the About box and help window.
