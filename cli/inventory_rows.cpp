#include "cli/inventory_rows.h"

#include "cli/fact_columns.h"
#include "inventory/describe_file.h"
#include "inventory/wav_format_names.h"
#include "platform/text/local_time.h"
#include "report/modification_time.h"

namespace tambrel::cli {

report::InventoryRow inventoryRow(const FileFacts& facts) {
    report::InventoryRow row;
    row.list =
        facts.list == FileList::Greetings ? report::ListKind::Greetings : report::ListKind::Prompts;
    row.file = facts.path;
    if (!facts.readFailures.empty()) {
        // Whatever part of the header was read is not to be trusted: only the status stays.
        row.problem = "unreadable";
        for (const Failure& failure : facts.readFailures) {
            if (!row.problemText.empty())
                row.problemText.append("; ");
            row.problemText.append(failure.description);
        }
    } else {
        row.codec = codecText(facts);
        if (facts.isWave()) {
            const auto tag = static_cast<std::uint16_t>(facts.header.formatTag);
            row.formatTag = tag;
            // The registered name of the real codec: the sub-format's of the extensible form.
            row.formatName = std::string(wavFormatName(facts.wav.codecTag().value_or(tag)));
            row.sampleRate = static_cast<std::uint32_t>(facts.header.sampleRate);
        }
        const WavFacts& wav = facts.wav;
        row.subFormatTag = wav.subFormatTag();
        row.channels = wav.channels();
        row.bitsPerSample = wav.bitsPerSample();
        row.blockAlign = wav.blockAlign();
        row.byteRate = wav.byteRate();
        row.dataBytes = wav.dataBytes();
        row.durationSeconds = wav.durationSeconds();
        if (wav.problem != WavProblem::None) {
            row.problem = std::string(wavProblemCode(wav.problem));
            row.problemText = problemTextInEnglish(wav.problem, facts.problemDetail);
        }
    }
    if (facts.hasStatus) {
        row.size = static_cast<std::uint64_t>(facts.size);
        // Through the local time's text, so the document keeps the offset the window shows.
        row.modified = report::parseIsoTime(
            platform::isoLocalTime(static_cast<std::int64_t>(facts.lastModified.tv_sec)));
    }
    return row;
}

} // namespace tambrel::cli
