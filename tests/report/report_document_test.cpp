#include "calc/recalculation.h"
#include "platform/utf.h"
#include "report/file_name.h"
#include "report/report_generator.h"
#include "report/xml_writer_source.h"
#include "report_test_support.h"
#include "tests/calc/determination.h"
#include "tests/report/sample_results.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif
#include <pugixml.hpp>

namespace sepmet {
namespace {

using testing::ScopedEnv;

// 5 March 2024, 09:07:00 UTC.
std::time_t FixedTime() {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 9;
    tm.tm_min = 7;
    return timegm(&tm);
}

Assay MakeAssay(std::int32_t id, std::u16string filename, std::u16string sample,
                std::u16string mixture, std::u16string type) {
    Assay assay;
    assay.id = id;
    assay.date = FixedTime();
    assay.filename = std::move(filename);
    assay.sample = std::move(sample);
    assay.mixture = std::move(mixture);
    assay.type = std::move(type);
    return assay;
}

class ReportDocumentTest : public ::testing::Test {
protected:
    ReportDocumentTest() { generator.SetClock(&FixedTime); }

    ScopedEnv zone{"TZ", "UTC0"};
    ScopedEnv locale{"LC_ALL", "C"};
    CalculationState state;
    MessageLog log;
    AssayCollection assays;
    ReportGenerator generator{state, log};
};

TEST_F(ReportDocumentTest, EmptyDeterminationHasEveryElement) {
    const std::u16string expected =
        u"<?xml version=\"1.0\" encoding=\"UTF-16LE\"?>"
        u"<root date_created=\"05.03.2024 09:07:00\" vW=\"0\" vG=\"0\" rhoG=\"0\" atmP=\"101,325\" "
        u"gasT=\"20\" prog_version=\" 1.0.2.0\">"
        u"<files/><calibration/><calculation/>"
        u"<signed><operator>Оператор О.О.</operator></signed>"
        u"<messages><row msg_str=\"Ошибок нет!\"/><row msg_str=\"Предупреждений нет!\"/>"
        u"</messages></root>";
    EXPECT_EQ(generator.BuildXml(), expected); // assays not set: an empty collection
    generator.assays = &assays;
    EXPECT_EQ(generator.BuildXml(), expected);
}

TEST_F(ReportDocumentTest, FullDeterminationExactText) {
    state.settings = {250, 10.5, 0.7, 99.5, -5};
    testing::SetSampleResults(state, 0.00001);
    assays.AddLoadedAssay(MakeAssay(7, u"D:\\data\\run1.chr", u"град 5 <&> \"a\" 'b'",
                                    u"Смесь & Ко", u"Градуировка"));
    assays.AddLoadedAssay(MakeAssay(9, u"plain.chr", u"поглот", u"", u"Анализ"));
    log.AddError(u"ошибка");
    log.AddWarning(u"внимание");
    log.AddInformation(u"сведения");
    generator.assays = &assays;

    EXPECT_EQ(generator.BuildXml(),
              u"<?xml version=\"1.0\" encoding=\"UTF-16LE\"?>"
              u"<root date_created=\"05.03.2024 09:07:00\" vW=\"250\" vG=\"10,5\" rhoG=\"0,7\" "
              u"atmP=\"99,5\" gasT=\"-5\" prog_version=\" 1.0.2.0\">"
              u"<files>"
              u"<row number=\"1\" fileName=\"run1.chr\" MixtureName=\"Смесь &amp; Ко\" "
              u"date=\"05.03.24  09:07\" sample=\"град 5 &lt;&amp;> &quot;a&quot; 'b'\" "
              u"type=\"Градуировка\"/>"
              u"<row number=\"2\" fileName=\"plain.chr\" MixtureName=\"\" "
              u"date=\"05.03.24  09:07\" sample=\"поглот\" type=\"Анализ\"/>"
              u"</files>"
              u"<calibration><row number=\"1\" comp=\"Метанол\" k_avg=\"0,0495\"/></calibration>"
              u"<calculation><row number=\"1\" comp=\"Метанол\" y_avg=\"0,050500 ± 0,010814\" "
              u"X=\"7,214286\" C=\"0,000010\"/></calculation>"
              u"<signed><operator>Оператор О.О.</operator></signed>"
              u"<messages><row msg_str=\"Ошибки!\"/><row msg_str=\"     - ошибка\"/>"
              u"<row msg_str=\"Предупреждения!\"/><row msg_str=\"     - внимание\"/>"
              u"<row msg_str=\"Информация!\"/><row msg_str=\"     - сведения\"/>"
              u"</messages></root>");
}

TEST_F(ReportDocumentTest, TextsSurviveParsingUnchanged) {
    const std::u16string sample = u"a<b & c>\"d\"\t'e'\nf";
    const std::u16string mixture = u"]]> &amp; <!-- -->";
    assays.AddLoadedAssay(MakeAssay(1, u"x.chr", sample, mixture, u"Анализ"));
    generator.assays = &assays;
    const std::u16string text = generator.BuildXml();

    pugi::xml_document parsed;
    ASSERT_TRUE(parsed.load_buffer(text.data(), text.size() * 2, pugi::parse_default,
                                   pugi::encoding_utf16_le));
    const pugi::xml_node row = parsed.child("root").child("files").child("row");
    EXPECT_EQ(FromUtf8(row.attribute("sample").value()), sample);
    EXPECT_EQ(FromUtf8(row.attribute("MixtureName").value()), mixture);
    EXPECT_EQ(text.find(u'\n'), std::u16string::npos);
    EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
}

TEST_F(ReportDocumentTest, CharactersXmlForbidsAreWrittenAsReplacementCharacters) {
    const char16_t forbidden[] = {0x0000, 0x0001, 0x0008, 0x000B, 0x000C, 0x000E,
                                  0x001F, 0xFFFE, 0xFFFF, 0xD800}; // the last: a lone surrogate
    std::u16string sample = u"a";
    std::u16string expected = u"a";
    for (char16_t c : forbidden) {
        sample += c;
        expected += u'\uFFFD';
    }
    sample += u"\t\n\r\u007F\uFFFD\U0001F600z"; // allowed, kept as they are
    expected += u"\t\n\r\u007F\uFFFD\U0001F600z";
    const std::u16string fileName = std::u16string(u"D:\\data\\run") + char16_t(0x02) + u".chr";
    const std::u16string mixture = std::u16string(u"смесь") + char16_t(0x1B);
    assays.AddLoadedAssay(MakeAssay(1, fileName, sample, mixture, u"Анализ"));
    generator.assays = &assays;
    const std::u16string text = generator.BuildXml();

#if !defined(_WIN32)
    // libxml2 reads the document that the transformation reads.
    xmlDocPtr doc =
        xmlReadMemory(reinterpret_cast<const char*>(text.data()), static_cast<int>(text.size() * 2),
                      nullptr, "UTF-16LE", XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr);
    const auto attribute = [doc](const char* name) {
        xmlNodePtr row = xmlDocGetRootElement(doc)->children; // "files"
        row = row->children;
        xmlChar* value = xmlGetProp(row, reinterpret_cast<const xmlChar*>(name));
        std::u16string result = FromUtf8(reinterpret_cast<const char*>(value));
        xmlFree(value);
        return result;
    };
    EXPECT_EQ(attribute("sample"), expected);
    EXPECT_EQ(attribute("fileName"), u"run\uFFFD.chr");
    EXPECT_EQ(attribute("MixtureName"), u"смесь\uFFFD");
    xmlFreeDoc(doc);
#endif

    pugi::xml_document parsed;
    ASSERT_TRUE(parsed.load_buffer(text.data(), text.size() * 2, pugi::parse_default,
                                   pugi::encoding_utf16_le));
    EXPECT_EQ(
        FromUtf8(parsed.child("root").child("files").child("row").attribute("sample").value()),
        expected);
    EXPECT_EQ(assays.begin()->sample, sample); // the collection keeps the stored text
}

TEST_F(ReportDocumentTest, ChromatogramDateIsLocalTime) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows takes the time zone from the system, not from $TZ";
#endif
    ScopedEnv moscow("TZ", "MSK-3");
    Assay assay = MakeAssay(1, u"x.chr", u"", u"", u"Анализ");
    assays.AddLoadedAssay(assay);
    assay.id = 2;
    assay.date = -86400 * 365; // before 1970: still an ordinary date
    assays.AddLoadedAssay(assay);
    assay.id = 3;
    assay.date = std::numeric_limits<std::int64_t>::max(); // no calendar year holds it
    assays.AddLoadedAssay(assay);
    generator.assays = &assays;
    const std::u16string text = generator.BuildXml();
    EXPECT_NE(
        text.find(u"number=\"1\" fileName=\"x.chr\" MixtureName=\"\" date=\"05.03.24  12:07\""),
        std::u16string::npos);
    EXPECT_NE(text.find(u"date=\"01.01.69  03:00\""), std::u16string::npos);
    EXPECT_NE(text.find(u"number=\"3\" fileName=\"x.chr\" MixtureName=\"\" date=\"\""),
              std::u16string::npos);
    // "date_created" follows the zone as well.
    EXPECT_NE(text.find(u"date_created=\"05.03.2024 12:07:00\""), std::u16string::npos);
}

// The tables keep the results of the last recalculation that reached them; the document shows a
// table only while its page holds what the current chromatograms and conditions give.
TEST_F(ReportDocumentTest, TablesOnlyWhenTheLastRecalculationRefilledTheirPage) {
    const AssayCollection demo = test::Determination({100, 102});
    AssayCollection nine = test::Determination({100, 102});
    nine.RemoveAssay(100);
    AssayCollection eleven = test::Determination({100, 102});
    eleven.AddLoadedAssay(test::MakeAssay(300, u"р-р град", {test::MakePeak(500, 25)}));
    AssayCollection threeAbsorption = test::Determination({100, 102, 101});
    AssayCollection disagreeing = test::Determination({100, 140});
    AssayCollection failedCalibration;
    auto levels = test::UniformCalibration(0.05);
    levels[0].areas[0] *= 1.2;
    test::AddCalibration(failedCalibration, levels);
    test::AddAbsorption(failedCalibration, {100, 102});

    const struct {
        const char* what;
        const AssayCollection* assays;
        double vG;
        const char16_t* k_avg; // the calibration row's value, or none
        const char16_t* y_avg; // the calculation row's value, or none
    } steps[] = {
        {"demo determination", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"--", &assays, 10, nullptr, nullptr},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"nine calibrations", &nine, 10, nullptr, nullptr},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"eleven calibrations", &eleven, 10, nullptr, nullptr},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"invalid conditions", nullptr, 0, u"0,0500", nullptr},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"three absorption solutions", &threeAbsorption, 10, u"0,0500", nullptr},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        {"demo again", nullptr, 10, u"0,0500", u"0,050500 ± 0,010814"},
        // Pages refilled, values not obtained: the rows are left out all the same.
        {"repeatability fails", &disagreeing, 10, u"0,0500", nullptr},
        {"calibration fails", &failedCalibration, 10, nullptr, nullptr},
    };
    state.settings = test::WorkedConditions();
    ReadinessFlags flags;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        state.settings.vG = step.vG;
        const AssayCollection& used = step.assays ? *step.assays : demo;
        Recalculate(used, state, log, flags);
        generator.assays = &used;
        const std::u16string text = generator.BuildXml();
        pugi::xml_document parsed;
        ASSERT_TRUE(parsed.load_buffer(text.data(), text.size() * 2, pugi::parse_default,
                                       pugi::encoding_utf16_le));
        const pugi::xml_node root = parsed.child("root");
        const pugi::xml_node calibration = root.child("calibration");
        const pugi::xml_node calculation = root.child("calculation");
        ASSERT_TRUE(calibration && calculation);
        EXPECT_EQ(FromUtf8(calibration.child("row").attribute("k_avg").value()),
                  step.k_avg ? step.k_avg : u"");
        EXPECT_EQ(FromUtf8(calculation.child("row").attribute("y_avg").value()),
                  step.y_avg ? step.y_avg : u"");
        EXPECT_EQ(calibration.first_child().empty(), step.k_avg == nullptr);
        EXPECT_EQ(calculation.first_child().empty(), step.y_avg == nullptr);
        // The tables themselves keep what they held, as the "Расчет" page may.
        EXPECT_FALSE(state.contentTable.empty());
    }
}

TEST(ReportFileName, LastComponentOfStoredPath) {
    const struct {
        std::u16string path, expected;
    } cases[] = {
        {u"D:\\data\\run1.chr", u"run1.chr"},
        {u"/home/lab/run2.chr", u"run2.chr"},
        {u"run3.chr", u"run3.chr"},
        {u"D:run4.chr", u"run4.chr"},
        {u"D:\\data\\", u"data\\"}, // a trailing separator is followed by nothing
        {u"\\\\server\\share", u"share"},
        {u"a:\\/b", u"b"},
        {u"C:", u"C:"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LastPathComponent(c.path), c.expected) << ToUtf8(c.path);
}

TEST(ReportXmlWriter, AppendsWholeLittleEndianUnits) {
    std::u16string target = u"<";
    xml_writer_source writer(target);
    const unsigned char bytes[] = {0x41, 0x00, 0x1C, 0x04, 0x7F}; // "A", "М", odd byte
    writer.write(bytes, sizeof bytes);
    writer.write(nullptr, 8);
    EXPECT_EQ(target, u"<AМ");
}

} // namespace
} // namespace sepmet
