// Documents written and read back in both forms, the window's exports read, and hostile input
// refused whole with its place.
#include "report/input_errors.h"
#include "report/window_export_reader.h"
#include "tests/report/report_fixtures.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

using namespace testing;

// Gives the bytes a few at a time, as a pipe does.
class TrickleSource : public ChunkSource {
public:
    explicit TrickleSource(std::string_view bytes) : bytes_(bytes) {}
    Result<std::size_t> read(std::span<char> buffer) override {
        const std::size_t count = std::min({buffer.size(), bytes_.size(), std::size_t{7}});
        std::copy_n(bytes_.data(), count, buffer.data());
        bytes_.remove_prefix(count);
        return count;
    }
    std::string_view bytes_;
};

void expectSameRows(const std::vector<InventoryRow>& read,
                    const std::vector<InventoryRow>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(written[i].file);
        std::string a, b;
        appendRowObject(a, read[i]);
        appendRowObject(b, written[i]);
        EXPECT_EQ(a, b);
        EXPECT_EQ(read[i].file, written[i].file); // bytes that are not UTF-8 come back as bytes
    }
}

TEST(InventoryDocument, BothFormsReadBackWhatWasWritten) {
    const InventoryDocument written = everyKindOfRow();
    for (DocumentForm form : {DocumentForm::Json, DocumentForm::JsonLines}) {
        const std::string text = textOf(written, form);
        EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF"));
        TrickleSource source(text);
        Result<InventoryDocument> read = readDocument(source, "doc");
        ASSERT_TRUE(read) << read.failure().description;
        EXPECT_EQ(read->form, form);
        EXPECT_EQ(read->header.host, "CORVEL01");
        EXPECT_EQ(read->header.serverVersion, "Corvel 5.0.2");
        EXPECT_EQ(read->header.lists, written.header.lists);
        expectSameRows(read->rows, written.rows);
        // One row object a line, in both forms, so either can be read line by line.
        EXPECT_NE(text.find("\n{\"list\":\"prompts\",\"file\":\"C:\\\\Corvel\\\\Prompts\\\\raw"
                            "\\udce9\\udcff.wav\",\"codec\""),
                  std::string::npos);
    }
}

TEST(InventoryDocument, ReaderTakesTheWritersOfOtherSystems) {
    const std::string header =
        "\xEF\xBB\xBF{\"schema_version\":1,\"later_member\":{\"a\":[1,{\"b\":null}]},"
        "\"schema\":\"tambrel-inventory\",\"rows\":[\r\n";
    Result<InventoryDocument> read = readText(
        header + "{\"file\":\"X.WAV\",\"list\":\"greetings\",\"modified\":\"2026-12-08T10:00:00Z\","
                 "\"duration_seconds\":2,\"size\":null,\"error\":\"old\"},\r\n"
                 "{\"list\":\"prompts\",\"file\":\"y\",\"modified\":\"8.12.2026\"}]}\r\n");
    ASSERT_TRUE(read) << read.failure().description;
    ASSERT_EQ(read->rows.size(), 2u);
    EXPECT_EQ(read->rows[0].modified, (ModificationTime{kMonday, 0}));
    EXPECT_EQ(read->rows[0].durationSeconds, 2.0);
    EXPECT_FALSE(read->rows[0].size);
    EXPECT_EQ(read->rows[1].modifiedText, "8.12.2026");
}

TEST(InventoryDocument, HostileInputIsRefusedWithItsPlace) {
    for (const HostileDocument& hostile : hostileDocuments()) {
        SCOPED_TRACE(hostile.what);
        std::vector<InventoryRow> rows;
        RowVector sink(rows);
        MemorySource source(hostile.text);
        Result<InventoryDocument> read = streamDocument(source, "hostile.json", sink);
        ASSERT_FALSE(read);
        EXPECT_EQ(read.failure().code, kMalformedDocument);
        EXPECT_TRUE(read.failure().description.starts_with("hostile.json:"))
            << read.failure().description;
        EXPECT_NE(read.failure().description.find(hostile.message), std::string::npos)
            << read.failure().description;
    }
}

TEST(InventoryDocument, FailedReadsKeepTheSystemsWords) {
    struct FailingSource : ChunkSource {
        Result<std::size_t> read(std::span<char>) override { return Failure{5, "I/O error"}; }
    } source;
    Result<InventoryDocument> read = readDocument(source, "doc");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.failure().code, 5);
}

struct ExportCase {
    const char* what;
    std::string text;
    std::size_t rows;    // when read
    const char* failure; // otherwise
};

TEST(WindowExport, LinesOfTheExportAreRowsOrPlacedFaults) {
    const std::string english = "Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n";
    const std::string german =
        "Codec, Dateiname, Abtastrate, Datum der letzten \xC4nderung, Dateigr\xF6\xDF"
        "e\r\n";
    const std::string line = "CCITT u-Law,C:\\P\\a.wav, 8000,12/8/2026, 16058\r\n";
    const std::vector<ExportCase> cases = {
        {"header only", english, 0, nullptr},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + english + line, 1, nullptr},
        {"German header in its code page", german + line + line, 2, nullptr},
        {"quoted path", english + "PCM 16,\"C:\\P\\a, \"\"b\"\".wav\", 16000,8.12.2026, 1\r\n", 1,
         nullptr},
        {"bare commas of old", english + "PCM 16,C:\\P\\a,b,c.wav, 16000,8.12.2026, 1\r\n", 1,
         nullptr},
        {"LF alone", english + "PCM 16,a, 8000,d, 1\n", 1, nullptr},
        {"negative rate", english + "PCM 16,a,-2,d, 1\r\n", 1, nullptr},
        {"empty", "", 0, "1:1: the file is empty"},
        {"not an export", "hello\r\n", 0, "1:1: the first line is not the export's header"},
        {"cut short", english + line.substr(0, 20), 0, "2:1: the last line has no line end"},
        {"four cells", english + "PCM 16,a, 8000, 1\r\n", 0, "2:1: a line has 4 cells"},
        {"rate not a number", english + "PCM 16,a,8000,d, 1\r\n", 0,
         "the sample rate \"8000\" is not a 32-bit number"},
        {"size negative", english + line + "PCM 16,a, 8000,d,-1\r\n", 0, "3:1: the file size"},
        {"open quote", english + "PCM 16,\"a, 8000,d, 1\r\n", 0, "no closing quote"},
    };
    for (const ExportCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        MemorySource source(entry.text);
        Result<InventoryDocument> read = readAnyDocument(source, "prompts.csv", ListKind::Prompts);
        if (entry.failure) {
            ASSERT_FALSE(read);
            EXPECT_NE(read.failure().description.find(entry.failure), std::string::npos)
                << read.failure().description;
            continue;
        }
        ASSERT_TRUE(read) << read.failure().description;
        EXPECT_EQ(read->form, DocumentForm::WindowExport);
        ASSERT_EQ(read->rows.size(), entry.rows);
        if (entry.rows > 0) {
            EXPECT_EQ(read->rows[0].list, ListKind::Prompts);
            EXPECT_FALSE(read->rows[0].formatTag);
        }
    }
}

TEST(WindowExport, CellsBecomeTheRowsFacts) {
    MemorySource greetings("Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n"
                           "PCM 16,\"C:\\G\\a, b.wav\",-1,8.12.2026, 32058\r\n");
    MemorySource prompts("Codec, File Name, Sample Rate, Date Last Modified, File Size\r\n"
                         "File not a valid WAV format,C:\\P\\x,y.txt, 0,8.12.2026, 5\r\n");
    Result<InventoryDocument> read =
        readWindowExportPair(greetings, "greetings.csv", prompts, "prompts.csv");
    ASSERT_TRUE(read) << read.failure().description;
    ASSERT_EQ(read->rows.size(), 2u);
    EXPECT_EQ(read->rows[0].file, "C:\\G\\a, b.wav");
    EXPECT_EQ(read->rows[0].sampleRate, 0xFFFFFFFFu);
    EXPECT_EQ(read->rows[0].size, 32058u);
    EXPECT_EQ(read->rows[0].modifiedText, "8.12.2026");
    EXPECT_EQ(read->rows[1].list, ListKind::Prompts);
    EXPECT_EQ(read->rows[1].codec, "File not a valid WAV format");
    EXPECT_EQ(read->rows[1].file, "C:\\P\\x,y.txt");
}

TEST(InventoryDocument, WritingHandsOnChunksAndStopsAtTheFirstFailure) {
    struct CountingSink : TextSink {
        int writes = 0;
        Status write(std::string_view) override {
            ++writes;
            return writes >= 2 ? Status(Failure{28, "No space left on device"}) : Status{};
        }
    } sink;
    DocumentWriter writer(sink, DocumentForm::JsonLines);
    ASSERT_TRUE(writer.begin(inventory({}).header));
    Status status;
    int rows = 0;
    for (; status && rows < 100000; ++rows)
        status = writer.add(greeting("g" + std::to_string(rows) + ".wav"));
    ASSERT_FALSE(status);
    EXPECT_EQ(status.failure().code, 28);
    EXPECT_LT(rows, 100000);
    EXPECT_FALSE(writer.finish());
    EXPECT_EQ(sink.writes, 2);
}

} // namespace
} // namespace tambrel::report
