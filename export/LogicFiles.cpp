#include "export/LogicFiles.h"

#include <QIODevice>

#include <zip.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "acquisition/NumberFormat.h"
#include "acquisition/SystemBlock.h"
#include "export/LogicRecord.h"
#include "export/PictureExport.h"

namespace tracebay::exporting {
namespace {

constexpr int Lines = acquisition::SystemBlock::LogicLines;

// A time unit of the dump and the sample interval counted in it.
struct Timescale {
    std::string unit;  // "10 us"
    long long perSample = 1;
};

// The largest of 100 s, 10 s, 1 s, 100 ms ... 1 fs of which the interval is a whole number;
// 1 fs, rounded, when none is.
Timescale timescale(double interval) {
    static constexpr std::array<const char*, 6> Units = {"s", "ms", "us", "ns", "ps", "fs"};
    for (int exponent = 2;; --exponent) {
        const double count = interval / std::pow(10.0, exponent);
        const double whole = std::nearbyint(count);
        if (exponent > -15 && !(whole >= 1 && std::abs(count - whole) <= 1e-6 * whole)) continue;
        const int group = exponent >= 0 ? 0 : (-exponent + 2) / 3;
        const int digits = exponent + 3 * group;
        static constexpr std::array<const char*, 3> Counts = {"1 ", "10 ", "100 "};
        return {
            std::string(Counts[static_cast<size_t>(digits)]) + Units[static_cast<size_t>(group)],
            std::max(1LL, static_cast<long long>(whole))};
    }
}

// Text inside a comment: printable ASCII without the "$" that would start a keyword.
std::string commentText(std::string_view text) {
    std::string kept(text);
    for (char& c : kept)
        if (c < 0x20 || c > 0x7E || c == '$') c = '?';
    return kept;
}

std::string identity(const acquisition::InstrumentIdentity& instrument) {
    std::string name = instrument.Maker;
    if (!name.empty() && !instrument.Model.empty()) name += ' ';
    name += instrument.Model;
    std::vector<std::string> parts;
    if (!name.empty()) parts.push_back(name);
    if (!instrument.Firmware.empty()) parts.push_back("firmware " + instrument.Firmware);
    if (!instrument.Serial.empty()) parts.push_back("serial " + instrument.Serial);
    if (parts.empty()) return "unknown";
    std::string text = parts.front();
    for (size_t i = 1; i < parts.size(); ++i) text += ", " + parts[i];
    return commentText(text);
}

// Lines are named "A".."P" in the value changes: the dump's identifiers, clear of the "$" of
// its keywords.
char identifier(int line) { return static_cast<char>('A' + line); }

std::string header(const acquisition::ScopeState& slot, const LogicRecord& record,
                   const Timescale& scale) {
    const double trigger = record.triggerTime();
    std::string text = "$version TraceBay $end\n$comment\n";
    text += "    trigger at " + acquisition::decimalText(trigger) + " s from the first sample\n";
    text += "    instrument: " + identity(slot.Instrument) + "\n";
    text += "    captured: " + (slot.Captured.empty() ? "unknown" : commentText(slot.Captured));
    text += "\n$end\n$timescale " + scale.unit + " $end\n$scope module logic $end\n";
    for (int line = 0; line < Lines; ++line)
        text += "$var wire 1 " + std::string(1, identifier(line)) + " D" + std::to_string(line) +
                " $end\n";
    return text + "$upscope $end\n$enddefinitions $end\n";
}

void appendValue(std::string& text, uint16_t word, int line) {
    text += ((word >> line) & 1) ? '1' : '0';
    text += identifier(line);
    text += '\n';
}

// A sample rate as a whole number of hertz; nothing when it is none.
std::optional<uint64_t> wholeHertz(double interval) {
    const double rate = 1 / interval;
    const double whole = std::nearbyint(rate);
    if (!(whole >= 1) || std::abs(rate - whole) > 1e-6 * whole) return std::nullopt;
    return static_cast<uint64_t>(whole);
}

// In the largest unit that keeps it whole, as a session's readers parse it: "20 kHz".
std::string rateText(uint64_t hertz) {
    for (const auto& [factor, unit] :
         {std::pair<uint64_t, const char*>{1000000000, " GHz"}, {1000000, " MHz"}, {1000, " kHz"}})
        if (hertz % factor == 0) return std::to_string(hertz / factor) + unit;
    return std::to_string(hertz) + " Hz";
}

std::string metadata(uint64_t hertz) {
    std::string text = "[device 1]\ncapturefile=logic-1\ntotal probes=" + std::to_string(Lines) +
                       "\nsamplerate=" + rateText(hertz) + "\n";
    for (int line = 0; line < Lines; ++line)
        text += "probe" + std::to_string(line + 1) + "=D" + std::to_string(line) + "\n";
    return text + "unitsize=2\n";
}

std::string littleEndianWords(const std::vector<uint16_t>& words) {
    std::string bytes;
    bytes.reserve(2 * words.size());
    for (const uint16_t word : words) {
        bytes += static_cast<char>(word & 0xFF);
        bytes += static_cast<char>(word >> 8);
    }
    return bytes;
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// The archive is made in memory, so that a failure leaves no file behind.
std::optional<std::string> zipArchive(const std::vector<std::pair<const char*, std::string>>& files,
                                      std::string& error) {
    zip_error_t failure;
    zip_error_init(&failure);
    const auto refuse = [&](zip_error_t* reason) {
        error = std::string("cannot make the archive: ") + zip_error_strerror(reason);
        zip_error_fini(&failure);
        return std::nullopt;
    };
    const Source buffer(zip_source_buffer_create(nullptr, 0, 0, &failure));
    if (!buffer) return refuse(&failure);
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_CREATE | ZIP_TRUNCATE, &failure);
    if (!archive) return refuse(&failure);
    // The archive takes the buffer; it stays ours for reading once the archive is closed.
    zip_source_keep(buffer.get());
    for (const auto& [name, content] : files) {
        Source file(zip_source_buffer(archive, content.data(), content.size(), 0));
        if (!file || zip_file_add(archive, name, file.get(), ZIP_FL_ENC_UTF_8) < 0) {
            const auto result = refuse(zip_get_error(archive));
            zip_discard(archive);
            return result;
        }
        file.release();  // the archive owns it now
    }
    if (zip_close(archive) < 0) {
        const auto result = refuse(zip_get_error(archive));
        zip_discard(archive);
        return result;
    }
    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) < 0 || zip_source_open(buffer.get()) < 0)
        return refuse(zip_source_error(buffer.get()));
    std::string bytes(stat.size, '\0');
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), bytes.size());
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(bytes.size()))
        return refuse(zip_source_error(buffer.get()));
    zip_error_fini(&failure);
    return bytes;
}

}  // namespace

std::optional<std::string> valueChangeDump(const acquisition::ScopeState& slot,
                                           std::string& error) {
    const auto record = logicRecord(slot, error);
    if (!record) return std::nullopt;
    const Timescale scale = timescale(record->interval);
    const std::vector<uint16_t>& words = record->samples.words;
    std::string dump = header(slot, *record, scale) + "#0\n$dumpvars\n";
    for (int line = 0; line < Lines; ++line) appendValue(dump, words.front(), line);
    dump += "$end\n";
    for (size_t i = 1; i < words.size(); ++i) {
        const uint16_t changed = words[i] ^ words[i - 1];
        if (!changed) continue;
        dump += '#' + std::to_string(static_cast<long long>(i) * scale.perSample) + '\n';
        for (int line = 0; line < Lines; ++line)
            if ((changed >> line) & 1) appendValue(dump, words[i], line);
    }
    // The last sample lasts its interval too.
    return dump + '#' + std::to_string(static_cast<long long>(words.size()) * scale.perSample) +
           '\n';
}

namespace {

// The logic lines and their sample rate, which a session gives in whole hertz.
std::optional<std::pair<LogicRecord, uint64_t>> sessionSamples(const acquisition::ScopeState& slot,
                                                               std::string& error) {
    auto record = logicRecord(slot, error);
    if (!record) return std::nullopt;
    const auto hertz = wholeHertz(record->interval);
    if (!hertz) {
        error = "a sigrok session needs a sample rate in whole hertz, and these samples come " +
                acquisition::decimalText(1 / record->interval) + " times a second";
        return std::nullopt;
    }
    return std::pair{std::move(*record), *hertz};
}

}  // namespace

bool fitsValueChangeDump(const acquisition::ScopeState& slot) {
    std::string error;
    return logicRecord(slot, error).has_value();
}

bool fitsSigrokSession(const acquisition::ScopeState& slot) {
    std::string error;
    return sessionSamples(slot, error).has_value();
}

std::optional<std::string> sigrokSession(const acquisition::ScopeState& slot, std::string& error) {
    const auto samples = sessionSamples(slot, error);
    if (!samples) return std::nullopt;
    const auto& [record, hertz] = *samples;
    return zipArchive({{"version", "2"},
                       {"metadata", metadata(hertz)},
                       {"logic-1-1", littleEndianWords(record.samples.words)}},
                      error);
}

std::string writeVcd(const Shown& shown, QIODevice& device) {
    std::string error;
    return writeBytes(valueChangeDump(shown.slot, error), error, device);
}

std::string writeSigrokSession(const Shown& shown, QIODevice& device) {
    std::string error;
    return writeBytes(sigrokSession(shown.slot, error), error, device);
}

}  // namespace tracebay::exporting
