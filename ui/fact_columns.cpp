#include "ui/fact_columns.h"

#include "inventory/wav_format_names.h"
#include "localize/own_texts.h"
#include "ui/grid_sort_keys.h"

#include <QLocale>

namespace tambrel {
namespace {

QString ownText(std::int32_t id) {
    return QString::fromStdString(texts::text(id));
}

// h:mm:ss.mmm from an hour on, m:ss.mmm below it, with the system's decimal sign.
QString durationText(std::uint32_t milliseconds) {
    const std::uint32_t seconds = milliseconds / 1000;
    const QString fraction = QLocale::system().decimalPoint() +
                             QString::number(milliseconds % 1000).rightJustified(3, u'0');
    const QString secondsText = QString::number(seconds % 60).rightJustified(2, u'0') + fraction;
    if (seconds < 3600)
        return QString::number(seconds / 60) + u':' + secondsText;
    return QString::number(seconds / 3600) + u':' +
           QString::number(seconds / 60 % 60).rightJustified(2, u'0') + u':' + secondsText;
}

} // namespace

FactTexts FactTexts::inCurrentLanguage() {
    FactTexts texts;
    texts.captions = {ownText(texts::kChannelsColumn), ownText(texts::kBitsColumn),
                      ownText(texts::kDurationColumn), ownText(texts::kFormatColumn),
                      ownText(texts::kProblemHeading)};
    static_assert(texts::kProblemRiffLengthMismatch - texts::kProblemUnreadable + 2 ==
                  static_cast<int>(kWavProblems));
    for (std::size_t problem = 1; problem < kWavProblems; ++problem)
        texts.problems[problem] =
            ownText(texts::kProblemUnreadable + static_cast<std::int32_t>(problem) - 1);
    return texts;
}

QString factText(FactColumn column, const FileRowRecord& record, const FactTexts& texts) {
    switch (column) {
    case FactColumn::Channels:
        if (const auto channels = record.channels())
            return QString::number(*channels);
        return {};
    case FactColumn::Bits:
        if (const auto bits = record.bitsPerSample())
            return QString::number(*bits);
        return {};
    case FactColumn::Duration:
        if (const auto duration = record.durationMilliseconds())
            return durationText(*duration);
        return {};
    case FactColumn::Format:
        if (const auto tag = record.codecTag()) {
            const std::string_view name = wavFormatName(*tag);
            // An unregistered tag is still worth telling apart from the others.
            if (name.empty())
                return QStringLiteral("0x%1")
                    .arg(*tag, 4, 16, QChar(u'0'))
                    .toUpper()
                    .replace(QStringLiteral("0X"), QStringLiteral("0x"));
            return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        }
        return {};
    case FactColumn::Problem:
        return texts.problems[static_cast<std::size_t>(record.problem()) % kWavProblems];
    }
    return {};
}

bool isNumberFact(FactColumn column) {
    return column == FactColumn::Channels || column == FactColumn::Bits ||
           column == FactColumn::Duration;
}

std::int64_t factSortKey(FactColumn column, const FileRowRecord& record) {
    switch (column) {
    case FactColumn::Channels:
        return record.channels() ? *record.channels() : kUnreadableSortKey;
    case FactColumn::Bits:
        return record.bitsPerSample() ? *record.bitsPerSample() : kUnreadableSortKey;
    case FactColumn::Duration:
        return record.durationMilliseconds() ? *record.durationMilliseconds() : kUnreadableSortKey;
    default:
        return kUnreadableSortKey;
    }
}

} // namespace tambrel
