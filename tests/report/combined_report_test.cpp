// Many servers' documents combined: totals per server and overall, and a document that could
// not be read whole counted not at all.
#include "report/combined_report.h"
#include "report/combined_report_output.h"
#include "tests/report/report_fixtures.h"

#include <gtest/gtest.h>

namespace tambrel::report {
namespace {

using namespace testing;

TEST(CombinedReport, FilesAndBytesPerServerCodecRateAndProblem) {
    Combiner combiner;
    const std::vector<InventoryDocument> documents = {
        inventory({greeting("a.wav"), greeting("b.wav"), prompt("p.wav", "PCM 16", 1, 16000, 1000)},
                  "CORVEL02"),
        inventory({greeting("a.wav"), withProblem(greeting("c.wav"), "truncated")}, "CORVEL01"),
    };
    for (const InventoryDocument& document : documents) {
        RowSink& rows = combiner.begin(serverNameOf(document));
        for (InventoryRow row : document.rows)
            rows.add(std::move(row));
        combiner.commit();
    }
    // A third document failed half-way: none of its rows count.
    combiner.begin("CORVEL03").add(greeting("x.wav"));
    combiner.drop();

    const CombinedReport report = combiner.report();
    ASSERT_EQ(report.servers.size(), 2u);
    EXPECT_EQ(report.servers[0].server, "CORVEL01");
    EXPECT_EQ(report.overall.all.files, 5u);
    EXPECT_EQ(report.overall.all.bytes, 4 * 16058u + 1000u);
    StringSink table, csv, json;
    ASSERT_TRUE(writeCombinedReport(report, ReportFormat::Table, table));
    ASSERT_TRUE(writeCombinedReport(report, ReportFormat::Csv, csv));
    ASSERT_TRUE(writeCombinedReport(report, ReportFormat::Json, json));
    EXPECT_EQ(table.text(), "SERVER    CODEC        RATE   PROBLEM    FILES  BYTES\n"
                            "CORVEL01  CCITT u-Law  8000              2      32116\n"
                            "CORVEL01                      truncated  1      16058\n"
                            "CORVEL02  CCITT u-Law  8000              2      32116\n"
                            "CORVEL02  PCM 16       16000             1      1000\n"
                            "*         CCITT u-Law  8000              4      64232\n"
                            "*         PCM 16       16000             1      1000\n"
                            "*                             truncated  1      16058\n"
                            "2 servers, 5 files, 65232 bytes\n");
    EXPECT_EQ(csv.text(), "Server,Codec,SampleRate,Problem,Files,Bytes\r\n"
                          "CORVEL01,CCITT u-Law,8000,,2,32116\r\n"
                          "CORVEL01,,,truncated,1,16058\r\n"
                          "CORVEL02,CCITT u-Law,8000,,2,32116\r\n"
                          "CORVEL02,PCM 16,16000,,1,1000\r\n"
                          "*,CCITT u-Law,8000,,4,64232\r\n"
                          "*,PCM 16,16000,,1,1000\r\n"
                          "*,,,truncated,1,16058\r\n");
    EXPECT_NE(json.text().find("\"overall\":{\"server\":\"*\",\"files\":5,\"bytes\":65232,"),
              std::string::npos)
        << json.text();
}

} // namespace
} // namespace tambrel::report
