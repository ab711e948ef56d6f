#include "decode/Library.h"

#include <libsigrokdecode/libsigrokdecode.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "acquisition/NumberFormat.h"
#include "decode/LibraryThread.h"

namespace tracebay::decode::library {
namespace {

// What one annotation may carry: bounded, as a decoder's output is anybody's.
constexpr size_t MostTexts = 8;
constexpr size_t LongestText = 1024;

template <typename Item, typename Visit>
void forEach(const GSList* list, Visit visit) {
    for (; list; list = list->next) visit(static_cast<Item*>(list->data));
}

std::string text(const char* chars) { return chars ? chars : ""; }

// At most `longest` bytes of `chars`, not cutting a UTF-8 sequence.
std::string cut(const char* chars, size_t longest) {
    std::string kept = text(chars);
    if (kept.size() <= longest) return kept;
    size_t end = longest;
    while (end > 0 && (static_cast<unsigned char>(kept[end]) & 0xC0) == 0x80) --end;
    return kept.substr(0, end);
}

// The decoders of the library's folders, by the names it loads them by: a folder with a pd.py.
// A name typed by a user is looked up here first, so that nothing but a decoder is imported.
// Kept for the process's life, as the library thread may still use them while it ends.
const std::set<std::string>& decoderFolders() {
    static const auto* const names = [] {
        auto* found = new std::set<std::string>;
        GSList* paths = srd_searchpaths_get();
        forEach<char>(paths, [&](const char* path) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(path, error))
                if (std::filesystem::exists(entry.path() / "pd.py", error))
                    found->insert(entry.path().filename().string());
        });
        g_slist_free_full(paths, g_free);
        return found;
    }();
    return *names;
}

OptionValue optionValue(GVariant* value) {
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT64))
        return static_cast<int64_t>(g_variant_get_int64(value));
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) return g_variant_get_double(value);
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
        return text(g_variant_get_string(value, nullptr));
    std::unique_ptr<gchar, decltype(&g_free)> printed(g_variant_print(value, FALSE), g_free);
    return text(printed.get());
}

GVariant* variant(const OptionValue& value) {
    if (const auto* whole = std::get_if<int64_t>(&value)) return g_variant_new_int64(*whole);
    if (const auto* real = std::get_if<double>(&value)) return g_variant_new_double(*real);
    return g_variant_new_string(std::get<std::string>(value).c_str());
}

void addChannels(std::vector<ChannelInfo>& channels, const GSList* list, bool required) {
    forEach<srd_channel>(list, [&](const srd_channel* c) {
        channels.push_back({text(c->id), text(c->name), text(c->desc), required});
    });
}

DecoderInfo describe(const srd_decoder& d) {
    DecoderInfo info;
    info.id = text(d.id);
    info.name = text(d.name);
    info.longname = text(d.longname);
    info.desc = text(d.desc);
    forEach<char>(d.inputs, [&](const char* input) { info.inputs.push_back(text(input)); });
    forEach<char>(d.outputs, [&](const char* output) { info.outputs.push_back(text(output)); });
    addChannels(info.channels, d.channels, true);
    addChannels(info.channels, d.opt_channels, false);
    forEach<srd_decoder_option>(d.options, [&](const srd_decoder_option* o) {
        OptionInfo option{text(o->id), text(o->desc), optionValue(o->def), {}};
        forEach<GVariant>(o->values, [&](GVariant* v) { option.values.push_back(optionValue(v)); });
        info.options.push_back(std::move(option));
    });
    forEach<char*>(d.annotations, [&](char** names) {
        info.classes.push_back({text(names[0]), text(names[1])});
    });
    forEach<srd_decoder_annotation_row>(
        d.annotation_rows, [&](const srd_decoder_annotation_row* r) {
            AnnotationRow row{text(r->id), text(r->desc), {}};
            forEach<void>(r->ann_classes,
                          [&](void* c) { row.classes.push_back(GPOINTER_TO_INT(c)); });
            info.rows.push_back(std::move(row));
        });
    return info;
}

// Decoders described so far, and the names that are none.
std::map<std::string, std::optional<DecoderInfo>>& described() {
    static auto* const decoders = new std::map<std::string, std::optional<DecoderInfo>>;
    return *decoders;
}

using Table = std::unique_ptr<GHashTable, decltype(&g_hash_table_unref)>;

Table variantTable() {
    return {g_hash_table_new_full(g_str_hash, g_str_equal, g_free,
                                  reinterpret_cast<GDestroyNotify>(g_variant_unref)),
            g_hash_table_unref};
}

void insert(GHashTable* table, const std::string& key, GVariant* value) {
    g_hash_table_insert(table, g_strdup(key.c_str()), g_variant_ref_sink(value));
}

// The words as the library reads them: little-endian, a unit of four bytes each.
std::vector<uint8_t> sampleBytes(const std::vector<uint32_t>& words) {
    std::vector<uint8_t> bytes;
    bytes.reserve(words.size() * InputFrame::UnitSize);
    for (const uint32_t word : words)
        for (uint64_t b = 0; b < InputFrame::UnitSize; ++b)
            bytes.push_back(static_cast<uint8_t>(word >> (8 * b)));
    return bytes;
}

// The decoder whose Python was running when a failure struck: of the stack's decoders, the one
// whose file the library's last message of a file names last; else the first of the stack.
std::string culprit(const std::vector<std::string>& errors, const Stack& stack) {
    std::string named = stack.decoders.front().decoder;
    for (const std::string& error : errors) {
        size_t latest = 0;
        for (const DecoderUse& use : stack.decoders) {
            const size_t at = error.rfind("/" + use.decoder + "/");
            if (at == std::string::npos || at + 1 < latest) continue;
            latest = at + 1;
            named = use.decoder;
        }
    }
    return named;
}

// What went wrong, as Python put it ("ValueError: ..."), or as the library did.
std::string reason(const std::vector<std::string>& errors, int status) {
    for (auto error = errors.rbegin(); error != errors.rend(); ++error) {
        if (error->rfind("Traceback", 0) != 0) continue;
        std::string last = error->substr(0, error->find_last_not_of("\n") + 1);
        return last.substr(last.rfind('\n') + 1);
    }
    if (!errors.empty()) return errors.front();
    return srd_strerror(status);
}

class SessionRun {
public:
    SessionRun(const Stack& stack, int index, const InputFrame& frame, const Limits& limits)
        : stack_(stack), index_(index), frame_(frame), limits_(limits) {
        srd_session_new(&session_);
    }
    ~SessionRun() {
        if (session_) srd_session_destroy(session_);
    }
    SessionRun(const SessionRun&) = delete;
    SessionRun& operator=(const SessionRun&) = delete;

    StackRun run() {
        int status = SRD_ERR;
        const bool inTime = LibraryThread::instance().runWithin(limits_.time, [&] {
            if (!build()) return;
            status = srd_session_start(session_);
            if (status != SRD_OK) return;
            const std::vector<uint8_t> bytes = sampleBytes(frame_.words);
            status = srd_session_send(session_, 0, frame_.words.size(), bytes.data(), bytes.size(),
                                      InputFrame::UnitSize);
        });
        // The decoders' threads end here; what they log on their way out comes before.
        if (session_) srd_session_terminate_reset(session_);
        const std::vector<std::string> errors = LibraryThread::instance().takeErrors();
        StackRun result{std::move(found_), {}};
        const std::string who = "Decoder \"" + culprit(errors, stack_) + "\"";
        if (!inTime)
            result.failure = who + " was stopped: it ran longer than " +
                             acquisition::decimalText(limits_.time.count() / 1000.0) +
                             " s on one screen";
        else if (overflowed_)
            result.failure = who + " was stopped: it gave more than " +
                             std::to_string(limits_.annotations) + " annotations on one screen";
        else if (status != SRD_OK || !errors.empty())
            result.failure = who + " failed: " + reason(errors, status);
        return result;
    }

private:
    bool build() {
        if (!session_) return false;
        for (const DecoderUse& use : stack_.decoders) {
            Table options = variantTable();
            for (const auto& [id, value] : use.options) insert(options.get(), id, variant(value));
            srd_decoder_inst* instance = srd_inst_new(session_, use.decoder.c_str(), options.get());
            if (!instance) return false;
            if (!instances_.empty() &&
                srd_inst_stack(session_, instances_.back(), instance) != SRD_OK)
                return false;
            instances_.push_back(instance);
            infos_.push_back(decoder(use.decoder));
        }
        return setChannels() &&
               srd_pd_output_callback_add(session_, SRD_OUTPUT_ANN, collect, this) == SRD_OK &&
               setSampleRate();
    }

    bool setChannels() {
        const std::vector<ChannelSource> sources = stack_.sources();
        Table channels = variantTable();
        for (const auto& [id, source] : stack_.decoders.front().channels)
            insert(channels.get(), id, g_variant_new_int32(frameBit(sources, source)));
        return srd_inst_channel_set_all(instances_.front(), channels.get()) == SRD_OK;
    }

    bool setSampleRate() {
        if (frame_.sampleRate == 0) return true;
        return srd_session_metadata_set(session_, SRD_CONF_SAMPLERATE,
                                        g_variant_new_uint64(frame_.sampleRate)) == SRD_OK;
    }

    // On the thread of the decoder that put it.
    static void collect(srd_proto_data* data, void* self) {
        static_cast<SessionRun*>(self)->keep(*data);
    }

    void keep(const srd_proto_data& data) {
        const auto level = std::find(instances_.begin(), instances_.end(), data.pdo->di);
        if (level == instances_.end()) return;
        if (found_.size() >= limits_.annotations) {
            if (!std::exchange(overflowed_, true)) LibraryThread::interruptThisThread();
            return;
        }
        const DecoderInfo& info = *infos_[static_cast<size_t>(level - instances_.begin())];
        const auto& annotation = *static_cast<const srd_proto_data_annotation*>(data.data);
        const int classIndex = annotation.ann_class;
        Annotation found;
        found.decoder = info.id;
        if (classIndex >= 0 && static_cast<size_t>(classIndex) < info.classes.size())
            found.className = info.classes[static_cast<size_t>(classIndex)].id;
        for (char** t = annotation.ann_text; t && *t && found.texts.size() < MostTexts; ++t)
            found.texts.push_back(cut(*t, LongestText));
        found.start = frame_.timeOf(data.start_sample);
        found.end = frame_.timeOf(data.end_sample);
        found.startPlace = frame_.placeOf(data.start_sample);
        found.endPlace = frame_.placeOf(data.end_sample);
        found.stack = index_;
        found.level = static_cast<int>(level - instances_.begin());
        found.row = info.rowOf(classIndex);
        found_.push_back(std::move(found));
    }

    const Stack& stack_;
    const int index_;
    const InputFrame& frame_;
    const Limits& limits_;
    srd_session* session_ = nullptr;
    std::vector<srd_decoder_inst*> instances_;
    std::vector<const DecoderInfo*> infos_;
    std::vector<Annotation> found_;
    bool overflowed_ = false;
};

}  // namespace

const DecoderInfo* decoder(const std::string& id) {
    if (!LibraryThread::instance().setupFailure().empty()) return nullptr;
    auto& decoders = described();
    const auto known = decoders.find(id);
    if (known != decoders.end()) return known->second ? &*known->second : nullptr;
    std::optional<DecoderInfo> info;
    if (decoderFolders().count(id) && srd_decoder_load(id.c_str()) == SRD_OK)
        if (const srd_decoder* loaded = srd_decoder_get_by_id(id.c_str())) info = describe(*loaded);
    LibraryThread::instance().takeErrors();
    const auto& kept = decoders[id] = std::move(info);
    return kept ? &*kept : nullptr;
}

const std::vector<DecoderInfo>& allDecoders() {
    static const auto* const all = [] {
        auto* found = new std::vector<DecoderInfo>;
        for (const std::string& id : decoderFolders())
            if (const DecoderInfo* info = decoder(id)) found->push_back(*info);
        return found;
    }();
    return *all;
}

StackRun runStack(const Stack& stack, int index, const InputFrame& frame, const Limits& limits) {
    return SessionRun(stack, index, frame, limits).run();
}

}  // namespace tracebay::decode::library
