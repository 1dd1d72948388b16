// A template that runs away is stopped by the transformation's limits, with a text that names
// the limit, and leaves no result.

#include "platform/utf.h"
#include "platform/xml_dom_service.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sepmet {
namespace {

using ::testing::HasSubstr;

std::u16string Stylesheet(const std::string& templates) {
    return FromUtf8("<xsl:stylesheet version=\"1.0\" "
                    "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">" +
                    templates + "</xsl:stylesheet>");
}

// 2^n calls of a template; with n = 40 it runs for days unless stopped.
std::u16string Recursion(int n) {
    return Stylesheet(
        "<xsl:template match=\"/\"><r><xsl:call-template name=\"t\"><xsl:with-param name=\"n\" "
        "select=\"" +
        std::to_string(n) +
        "\"/></xsl:call-template></r></xsl:template>"
        "<xsl:template name=\"t\"><xsl:param name=\"n\"/><xsl:if test=\"$n &gt; 0\">"
        "<xsl:call-template name=\"t\"><xsl:with-param name=\"n\" select=\"$n - 1\"/>"
        "</xsl:call-template><xsl:call-template name=\"t\"><xsl:with-param name=\"n\" "
        "select=\"$n - 1\"/></xsl:call-template></xsl:if></xsl:template>");
}

// A string doubled `times` times and written out: 2^times bytes.
std::u16string Doubling(int times) {
    return Stylesheet("<xsl:template match=\"/\"><r><xsl:call-template name=\"d\"><xsl:with-param "
                      "name=\"s\" select=\"'x'\"/><xsl:with-param name=\"n\" select=\"" +
                      std::to_string(times) +
                      "\"/></xsl:call-template></r></xsl:template>"
                      "<xsl:template name=\"d\"><xsl:param name=\"s\"/><xsl:param name=\"n\"/>"
                      "<xsl:choose><xsl:when test=\"$n = 0\"><xsl:value-of select=\"$s\"/>"
                      "</xsl:when><xsl:otherwise><xsl:call-template name=\"d\"><xsl:with-param "
                      "name=\"s\" select=\"concat($s, $s)\"/><xsl:with-param name=\"n\" "
                      "select=\"$n - 1\"/></xsl:call-template></xsl:otherwise></xsl:choose>"
                      "</xsl:template>");
}

struct Outcome {
    bool transformed = false;
    std::string error;
    std::size_t resultBytes = 0;
};

Outcome Transform(const std::u16string& stylesheetText, const TransformLimits& limits) {
    XmlDomService service;
    auto source = service.CreateDocument();
    auto stylesheet = service.CreateDocument();
    auto result = service.CreateDocument();
    EXPECT_TRUE(source->LoadText(u"<a/>"));
    EXPECT_TRUE(stylesheet->LoadText(stylesheetText));
    Outcome outcome;
    try {
        service.TransformNodeToObject(*source, *stylesheet, *result, {}, {}, limits);
        outcome.transformed = true;
        outcome.resultBytes = ToUtf8(result->Text().value_or(u"")).size();
    } catch (const ComponentError& e) {
        outcome.error = e.what();
        EXPECT_TRUE(result->Empty());
    }
    return outcome;
}

TEST(TransformLimits, RunawayTemplatesAreStoppedByTime) {
    const TransformLimits standard;
    EXPECT_EQ(standard.time, std::chrono::seconds(60));
    EXPECT_EQ(standard.bytes, 64u << 20);

    // 2^18 calls outlive a limit of 1 ms: stopped, or where the processor cannot be interrupted
    // (MSXML), refused when it returns.
    const Outcome late = Transform(Recursion(18), {std::chrono::milliseconds(1), 64u << 20});
    EXPECT_FALSE(late.transformed);
    EXPECT_EQ(late.error, "The transformation was stopped: it ran longer than 0.001 s.");
#if defined(_WIN32)
    GTEST_SKIP() << "MSXML has no hook between instructions: a template that writes nothing is "
                    "not stopped while it runs";
#endif

    const auto start = std::chrono::steady_clock::now();
    const Outcome endless = Transform(Recursion(40), {std::chrono::milliseconds(300), 64u << 20});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_FALSE(endless.transformed);
    EXPECT_EQ(endless.error, "The transformation was stopped: it ran longer than 0.3 s.");
}

TEST(TransformLimits, RunawayResultsAreStoppedBySize) {
    // 4 MB of text against a limit of 1 MB: stopped while it grows, or at the latest before
    // anything is written.
    const Outcome doubled = Transform(Doubling(22), {std::chrono::seconds(60), 1u << 20});
    EXPECT_FALSE(doubled.transformed);
    EXPECT_EQ(doubled.error, "The transformation was stopped: its result grew beyond 1 MB.");

    // Within the limits the same template runs to its end.
    const Outcome small = Transform(Doubling(10), {std::chrono::seconds(60), 1u << 20});
    EXPECT_TRUE(small.transformed) << small.error;
    EXPECT_GT(small.resultBytes, 1024u);
}

} // namespace
} // namespace sepmet
