// Rendering of the report: the template is loaded afresh for every report, the document is
// transformed with it, and the result is written as a new HTML file. Every failure ends in one
// message box.

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/number_text.h"
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

FileDescriptor CreateFixedOutputFile(const std::string& path) {
    const int fd = CreateOrTruncate(path);
    if (fd < 0)
        throw std::runtime_error("Cannot create the report file \"" + path +
                                 "\": " + std::strerror(errno));
    return FileDescriptor(fd);
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
    std::unique_ptr<XmlDocument> stylesheet =
        CreateOrRaise(service, "Failed to create Stylesheet Document instance.");
    if (!source->LoadText(sourceXml))
        throw std::runtime_error("Error parsing Source Document instance.");
    if (!stylesheet->LoadText(stylesheetXml, stylesheetFile_))
        throw std::runtime_error("Error parsing Stylesheet Document instance.");

    service.TransformNodeToObject(*source, *stylesheet, *result, parameters_);
    std::optional<std::u16string> text = result->Text();
    if (!text)
        throw std::runtime_error("Failed to load result document.");
    resultXml = std::move(*text);

    // The temporary name is checked: without one the report fails here and nothing is written
    // anywhere else. The HTML file itself is created exclusively too, so an existing file (or a
    // link planted in a shared temporary folder) is never written through.
    FileDescriptor file;
    std::string path;
    if (!fixedOutputFile_.empty()) {
        file = CreateFixedOutputFile(fixedOutputFile_);
        path = fixedOutputFile_;
    } else {
        ReservedFile reserved = ReserveTemporaryFile(TemporaryFolder(), "pqr", ".html");
        if (!reserved.reserved())
            throw std::runtime_error(reserved.error);
        file = std::move(reserved.file);
        path = std::move(reserved.path);
    }
    outputFile_ = path;
    outputPath = FromUtf8(path);
    result->Save(file.get(), path);
    if (::close(file.release()) != 0)
        throw ComponentError(kStatusFailed,
                             FromUtf8("Cannot write \"" + path + "\": " + std::strerror(errno)));
}

bool ReportGenerator::Generate() {
    std::optional<std::u16string> preset = std::exchange(nextSourceXml_, std::nullopt);
    if (!LoadTemplate())
        return false;
    try {
        sourceXml = preset ? std::move(*preset) : BuildXml();
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
