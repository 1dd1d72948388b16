// Rendering of the report: the template is loaded afresh for every report, the document is
// transformed with it, and the result is written as a new HTML file. Every failure ends in one
// message box.

#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "platform/number_text.h"
#include "platform/opener.h"
#include "platform/shared_data_folder.h"
#include "platform/temp_file.h"
#include "platform/utf.h"
#include "platform/xml_dom_service.h"
#include "report/report_generator.h"
#include "resources/strings.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace sepmet {
namespace {

// The caption of the report's message boxes: the library's own name.
constexpr std::u16string_view kCaption = u"sepmet";

std::unique_ptr<XmlDocument> CreateOrRaise(XmlDomService& service, const char* failure) {
    std::unique_ptr<XmlDocument> doc = service.CreateDocument();
    if (!doc)
        throw std::runtime_error(failure);
    return doc;
}

} // namespace

void ReportGenerator::ShowError(int stringId, std::u16string_view text) const {
    ShowMessageBox(owner_, kCaption, FillPlaceholder(LoadString(stringId), u"%s", text),
                   MessageIcon::Error);
}

void ReportGenerator::ShowCodeError(int stringId, std::int32_t status,
                                    std::u16string_view text) const {
    const std::u16string withCode =
        FillPlaceholder(LoadString(stringId), u"%d", FormatInteger(status));
    ShowMessageBox(owner_, kCaption, FillPlaceholder(withCode, u"%s", text), MessageIcon::Error);
}

std::u16string ReportGenerator::ResultXml() const {
    std::optional<std::u16string> text = result_ ? result_->Text() : std::nullopt;
    return text ? std::move(*text) : std::u16string();
}

bool ReportGenerator::OpenOutput() const {
    if (OpenDocument(outputFile_))
        return true;
    ShowMessageBox(owner_, kCaption,
                   FillPlaceholder(LoadString(StringId::ReportNotOpened), u"%s", outputPath),
                   MessageIcon::Warning);
    return false;
}

bool ReportGenerator::LoadTemplate() {
    std::string path = templateFile_;
    if (path.empty()) {
        const std::optional<std::string> folder = SharedDataFolder();
        if (!folder || folder->empty())
            return false;
        path = SharedDataFile(*folder, kReportTemplateRelativePath);
    }
    try {
        XmlDomService service;
        std::unique_ptr<XmlDocument> doc =
            CreateOrRaise(service, "Failed to create XSLT Document instance.");
        if (!doc->LoadFile(path))
            throw std::runtime_error("Error parsing XSLT Document instance.");
        std::optional<std::u16string> text = doc->Text();
        // The loaded template could not be serialised back (out of memory).
        if (!text)
            throw std::runtime_error("Failed to read the text of the XSLT Document instance.");
        stylesheetXml = std::move(*text);
        loadedStylesheetXml_ = stylesheetXml;
        loadedStylesheet_ = std::move(doc);
        // Absolute, so that a later change of the working folder does not move the base.
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        stylesheetFile_ = error ? path : absolute.string();
        return true;
    } catch (const ComponentError& e) {
        ShowCodeError(StringId::TemplateFailedCode, e.Status(), e.MessageText());
    } catch (const std::exception& e) {
        // Texts of the report's own errors are English; file names in them are UTF-8.
        ShowError(StringId::TemplateFailed, FromUtf8(e.what()));
    }
    return false;
}

void ReportGenerator::Transform() {
    XmlDomService service;
    std::unique_ptr<XmlDocument> source =
        CreateOrRaise(service, "Failed to create Source Document instance.");
    std::unique_ptr<XmlDocument> result =
        CreateOrRaise(service, "Failed to create Result Document instance.");
    if (!source->LoadText(sourceXml))
        throw std::runtime_error("Error parsing Source Document instance.");
    // The text LoadTemplate gave is the serialisation of the tree it parsed: that tree itself is
    // compiled, once (a second Transform of the same report parses the text). A text set
    // otherwise is parsed.
    std::unique_ptr<XmlDocument> stylesheet;
    if (loadedStylesheet_ && stylesheetXml == loadedStylesheetXml_) {
        stylesheet = std::move(loadedStylesheet_);
    } else {
        stylesheet = CreateOrRaise(service, "Failed to create Stylesheet Document instance.");
        if (!stylesheet->LoadText(stylesheetXml, stylesheetFile_))
            throw std::runtime_error("Error parsing Stylesheet Document instance.");
    }
    loadedStylesheetXml_.clear();
    std::unique_ptr<XmlDocument> details;
    XsltDocumentParameters documents;
    if (!detailsXml.empty()) {
        details = CreateOrRaise(service, "Failed to create Details Document instance.");
        if (!details->LoadText(detailsXml))
            throw std::runtime_error("Error parsing Details Document instance.");
        documents.emplace_back("details", details.get());
    }

    service.TransformNodeToObject(*source, std::move(*stylesheet), *result, parameters_, documents);
    result_ = std::move(result);

    // A named report replaces the file there whole or not at all: it is written beside it and
    // renamed over it, so a failed write keeps the earlier report.
    if (!fixedOutputFile_.empty()) {
        AtomicFile file(fixedOutputFile_);
        if (!file.isOpen())
            throw std::runtime_error(file.error());
        outputFile_ = fixedOutputFile_;
        outputPath = FromUtf8(fixedOutputFile_);
        result_->Save(file.fd(), fixedOutputFile_);
        if (const std::string error = file.Commit(); !error.empty())
            throw ComponentError(kStatusFailed, FromUtf8(error));
        return;
    }
    // The temporary name is checked: without one the report fails here and nothing is written
    // anywhere else. The HTML file itself is created exclusively too, so an existing file (or a
    // link planted in a shared temporary folder) is never written through. A file that could
    // not be written whole is removed.
    ReservedFile reserved = ReserveTemporaryFile(TemporaryFolder(), "pqr", ".html");
    if (!reserved.reserved())
        throw std::runtime_error(reserved.error);
    outputFile_ = reserved.path;
    outputPath = FromUtf8(reserved.path);
    try {
        result_->Save(reserved.file.get(), reserved.path);
        if (::close(reserved.file.release()) != 0)
            throw ComponentError(kStatusFailed, FromUtf8("Cannot write \"" + reserved.path +
                                                         "\": " + std::strerror(errno)));
    } catch (...) {
        ::unlink(reserved.path.c_str());
        throw;
    }
}

bool ReportGenerator::Generate() {
    std::optional<std::u16string> preset = std::exchange(nextSourceXml_, std::nullopt);
    if (!LoadTemplate())
        return false;
    try {
        sourceXml = preset ? std::move(*preset) : BuildXml();
        detailsXml = BuildDetailsXml();
        if (transformHook_)
            transformHook_->Transform(*this);
        else
            Transform();
        return true;
    } catch (const ComponentError& e) {
        ShowCodeError(StringId::ReportFailedCode, e.Status(), e.MessageText());
    } catch (const std::exception& e) {
        ShowError(StringId::ReportFailed, FromUtf8(e.what()));
    }
    return false;
}

} // namespace sepmet
