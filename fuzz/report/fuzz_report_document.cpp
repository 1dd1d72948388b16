// The report document builder over hostile texts: the input, cut at NUL bytes, gives the texts
// of a chromatogram (sample, file, mixture, method), its peak names and the messages, as UTF-16
// units (two bytes each, lone surrogates, U+FFFE and control characters included). Whatever
// they hold, the document must be well-formed XML that the report's parser reads.

#include "calc/calculation_state.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "report/report_file.h"

#include <cstdint>
#include <cstdlib>
#include <libxml/parser.h>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Texts(const std::uint8_t* data, std::size_t size) {
    std::vector<std::u16string> texts(1);
    for (std::size_t i = 0; i + 2 <= size; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0)
            texts.emplace_back();
        else
            texts.back() += unit;
    }
    texts.resize(std::max<std::size_t>(texts.size(), 7));
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::u16string> texts = Texts(data, size);
    sepmet::Assay assay;
    assay.id = 1;
    assay.date = size % 2 ? -62135596800 - static_cast<std::int64_t>(size) : 1710230400;
    assay.sample = texts[0];
    assay.filename = texts[1];
    assay.mixture = texts[2];
    assay.method = texts[3];
    for (std::size_t i = 4; i < texts.size(); ++i)
        assay.peaks.push_back({texts[i], texts[i], static_cast<double>(i), 1.0});
    sepmet::AssayCollection assays;
    assays.AddLoadedAssay(assay);
    sepmet::MessageLog log;
    log.AddError(texts[4]);
    log.AddWarning(texts[5]);
    log.AddInformation(texts[6]);
    sepmet::CalculationState state;
    state.calibrationTable[texts[4]].k_avg = 0.05;

    const std::u16string document = sepmet::BuildReportXml(assays, state, log);
    xmlDocPtr parsed = xmlReadMemory(
        reinterpret_cast<const char*>(document.data()), static_cast<int>(document.size() * 2),
        "report.xml", "UTF-16LE", XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!parsed)
        std::abort(); // a hostile text made the document unreadable
    xmlFreeDoc(parsed);
    return 0;
}
