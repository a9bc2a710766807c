// The document reader over arbitrary bytes: whatever the input, the reader stays inside it and
// either fails or gives a document that, written again, reads back as the same rows.
#include "report/document_reader.h"
#include "report/document_writer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tambrel::report;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemorySource source(bytes);
    tambrel::Result<InventoryDocument> read = readAnyDocument(source, "fuzz", ListKind::Prompts);
    if (!read)
        return 0;
    for (DocumentForm form : {DocumentForm::Json, DocumentForm::JsonLines}) {
        StringSink written;
        if (!writeDocument(*read, form, written))
            std::abort(); // memory never fails to take text
        MemorySource again(written.text());
        tambrel::Result<InventoryDocument> reread = readDocument(again, "again");
        if (!reread || reread->rows.size() != read->rows.size())
            std::abort();
        for (std::size_t i = 0; i < read->rows.size(); ++i)
            if (reread->rows[i].file != read->rows[i].file ||
                reread->rows[i].list != read->rows[i].list)
                std::abort();
    }
    return 0;
}
