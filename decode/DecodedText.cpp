#include "decode/DecodedText.h"

#include "acquisition/NumberFormat.h"
#include "platform/EscapedText.h"

namespace tracebay::decode {
namespace {

using acquisition::decimalText;

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string channelsText(const DecoderInfo& decoder) {
    if (!decoder.readsLines()) {
        std::string reads;
        for (const std::string& input : decoder.inputs)
            reads += (reads.empty() ? "" : ", ") + input;
        return "reads: " + reads;
    }
    std::string channels;
    for (const ChannelInfo& c : decoder.channels)
        channels += (channels.empty() ? "" : ", ") + c.id + (c.required ? "" : " (optional)");
    return "channels: " + channels;
}

std::string optionsText(const DecoderInfo& decoder) {
    std::string options;
    for (const OptionInfo& o : decoder.options) {
        options += (options.empty() ? "" : ", ") + o.id + "=" + valueText(o.defaultValue);
        std::string values;
        for (const OptionValue& v : o.values) values += (values.empty() ? "" : "|") + valueText(v);
        if (!values.empty()) options += " [" + values + "]";
    }
    return options.empty() ? "" : "    options: " + options + "\n";
}

}  // namespace

std::string annotationsJson(const std::vector<Annotation>& annotations) {
    if (annotations.empty()) return "[]\n";
    std::string json = "[\n";
    for (size_t i = 0; i < annotations.size(); ++i) {
        const Annotation& a = annotations[i];
        std::string texts;
        for (const std::string& t : a.texts)
            texts += (texts.empty() ? "" : ", ") + platform::jsonQuoted(t);
        json += "  {\"decoder\": " + platform::jsonQuoted(a.decoder) +
                ", \"class\": " + platform::jsonQuoted(a.className) +
                ", \"start\": " + decimalText(a.start) + ", \"end\": " + decimalText(a.end) +
                ", \"texts\": [" + texts + "]}" + (i + 1 < annotations.size() ? ",\n" : "\n");
    }
    return json + "]\n";
}

std::string annotationsText(const std::vector<Annotation>& annotations) {
    std::string text;
    for (const Annotation& a : annotations)
        text += decimalText(a.start) + " " + decimalText(a.end) + " " + a.decoder + " " +
                a.className + ": " + platform::escapeControls(a.text()) + "\n";
    return text;
}

std::string annotationsCsv(const std::vector<Annotation>& annotations) {
    std::string csv = "start (s),end (s),decoder,class,text\n";
    for (const Annotation& a : annotations)
        csv += decimalText(a.start) + "," + decimalText(a.end) + "," + csvField(a.decoder) + "," +
               csvField(a.className) + "," + csvField(a.text()) + "\n";
    return csv;
}

std::string decoderList(const std::vector<DecoderInfo>& decoders) {
    std::string list;
    for (const DecoderInfo& d : decoders)
        list += d.id + " - " + d.longname + ": " + d.desc + "\n    " + channelsText(d) + "\n" +
                optionsText(d);
    return list;
}

}  // namespace tracebay::decode
