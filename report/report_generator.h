#pragma once
// The report of a determination: an XML document of the current state (BuildXml), transformed
// with the shared template "Report.xsl" into an HTML file in the temporary folder (Generate).

#include "calc/calculation_state.h"
#include "calc/message_log.h"
#include "data/assay_collection.h"
#include "platform/xml_dom_service.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace sepmet {

class ReportGenerator;

// Takes the place of the transformation step of every Generate (the audit trail): it calls
// generator.Transform() itself, with template parameters of its own, and records what was
// written. The errors of Transform pass through it to Generate.
class ReportTransformHook {
public:
    virtual ~ReportTransformHook() = default;
    virtual void Transform(ReportGenerator& generator) = 0;
};

class ReportGenerator {
public:
    // The state and the log are read at every report; the plug-in passes
    // ProcessCalculationState() and ProcessMessageLog().
    ReportGenerator(const CalculationState& state, const MessageLog& log);

    // Set by the caller before each report; nullptr reports an empty collection.
    const AssayCollection* assays = nullptr;
    std::u16string sourceXml;     // the last report document
    std::u16string detailsXml;    // the last details document (template parameter `details`)
    std::u16string stylesheetXml; // the last loaded template
    std::u16string outputPath;    // the HTML file last written; empty until then

    // The text of the last transformation result (the HTML as written); empty before the first.
    std::u16string ResultXml() const;

    // The report document as UTF-16 text. Changes nothing.
    std::u16string BuildXml() const;
    // The intermediate values of the last recalculation (calibration levels, measurements, tests)
    // as a second document, root "details", with an element only for a stage that recalculation
    // reached. Changes nothing.
    std::u16string BuildDetailsXml() const;

    // Reads the template into stylesheetXml. False without a message when there is no shared
    // data folder; false after message 1054 or 1055 when the template cannot be loaded.
    bool LoadTemplate();

    // Transforms sourceXml with stylesheetXml, detailsXml (when not empty) given as the node-set
    // parameter `details`, keeps the result, sets outputPath and writes the HTML file. Raises
    // std::runtime_error with an English text or ComponentError.
    void Transform();

    // LoadTemplate, BuildXml, BuildDetailsXml, Transform. True when the HTML file was written;
    // otherwise the operator saw a message (1052 to 1055), unless there is no shared data folder.
    // Never throws the errors of the report.
    bool Generate();

    // The written file as a path of this system, for the opener.
    const std::string& OutputFile() const { return outputFile_; }

    // Opens the written file in the desktop's viewer. When the opener fails, a message box tells
    // the operator the file's path (the report exists; only the viewer did not start).
    bool OpenOutput() const;

    // Options of the batch program and the tests.
    // A template file to use in place of the shared one; empty restores the shared one.
    void SetTemplateFile(std::string path) { templateFile_ = std::move(path); }
    // A file to write (created or replaced) in place of a fresh temporary file; empty restores
    // the temporary file.
    void SetOutputFile(std::string path) { fixedOutputFile_ = std::move(path); }
    // The window that owns the message boxes, as a host word (0: none).
    void SetOwnerWindow(std::intptr_t owner) { owner_ = owner; }
    // The clock read for "date_created".
    void SetClock(std::time_t (*clock)()) { clock_ = clock; }
    // String values of the template's top-level parameters, passed at every transformation.
    void SetTransformParameters(XsltParameters parameters) { parameters_ = std::move(parameters); }
    const XsltParameters& TransformParameters() const { return parameters_; }
    // The step that runs Transform within Generate; nullptr: Transform alone.
    void SetTransformHook(ReportTransformHook* hook) { transformHook_ = hook; }
    // The document for the next Generate in place of a new BuildXml, so that a caller that
    // writes the document too hands over the very text it wrote. Used once.
    void SetNextSourceXml(std::u16string text) { nextSourceXml_ = std::move(text); }
    // The file stylesheetXml was last loaded from, as an absolute path.
    const std::string& StylesheetFile() const { return stylesheetFile_; }

private:
    void ShowError(int stringId, std::u16string_view text) const;
    void ShowCodeError(int stringId, std::int32_t status, std::u16string_view text) const;

    const CalculationState& state_;
    const MessageLog& log_;
    std::string outputFile_;
    std::string templateFile_;
    std::string fixedOutputFile_;
    // The file stylesheetXml was loaded from: its references resolve beside it.
    std::string stylesheetFile_;
    // The template as LoadTemplate parsed it, and the text it gave: the next Transform compiles
    // this tree while stylesheetXml is still that text, rather than parsing the text once more.
    std::unique_ptr<XmlDocument> loadedStylesheet_;
    std::u16string loadedStylesheetXml_;
    std::unique_ptr<XmlDocument> result_; // the last transformation result
    XsltParameters parameters_;
    ReportTransformHook* transformHook_ = nullptr;
    std::optional<std::u16string> nextSourceXml_;
    std::intptr_t owner_ = 0;
    std::time_t (*clock_)();
};

} // namespace sepmet
