#include "report/combined_report.h"

namespace tambrel::report {
namespace {

void addTo(Totals& totals, const Totals& more) {
    totals.files += more.files;
    totals.bytes += more.bytes;
}

} // namespace

void Combiner::Tally::add(InventoryRow&& row) {
    const Totals one{1, row.size.value_or(0)};
    addTo(all, one);
    addTo(codecs[{std::move(row.codec), row.sampleRate}], one);
    if (!row.problem.empty())
        addTo(problems[row.problem], one);
}

void Combiner::Tally::addAll(const Tally& other) {
    addTo(all, other.all);
    for (const auto& [key, totals] : other.codecs)
        addTo(codecs[key], totals);
    for (const auto& [key, totals] : other.problems)
        addTo(problems[key], totals);
}

RowSink& Combiner::begin(std::string name) {
    pending_ = Tally{};
    current_ = std::move(name);
    return pending_;
}

void Combiner::commit() {
    servers_[current_].addAll(pending_);
    drop();
}

void Combiner::drop() {
    pending_ = Tally{};
    current_.clear();
}

CombinedReport Combiner::report() const {
    CombinedReport report;
    Tally overall;
    const auto summary = [](const std::string& name, const Tally& tally) {
        ServerSummary server;
        server.server = name;
        server.all = tally.all;
        for (const auto& [key, totals] : tally.codecs)
            server.codecs.push_back({key.first, key.second, totals});
        for (const auto& [problem, totals] : tally.problems)
            server.problems.push_back({problem, totals});
        return server;
    };
    for (const auto& [name, tally] : servers_) {
        report.servers.push_back(summary(name, tally));
        overall.addAll(tally);
    }
    report.overall = summary("*", overall);
    return report;
}

std::string serverNameOf(const InventoryDocument& document) {
    return document.header.host.empty() ? document.name : document.header.host;
}

} // namespace tambrel::report
