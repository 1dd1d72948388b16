#include "platform/utf.h"
#include "platform/xml_dom_service.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <libexslt/exslt.h>
#include <libxml/globals.h>
#include <libxml/hash.h>
#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxslt/extensions.h>
#include <libxslt/extra.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>
#include <malloc.h>
#include <mutex>
#include <new>
#include <strings.h>
#include <time.h>
#include <unistd.h>

namespace sepmet {
namespace {

// Entities are substituted and CDATA becomes text, as an XSLT processor reads stylesheets; the
// network is never used, whatever a document refers to.
constexpr int kParseOptions = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA;

// A runaway template could report thousands of errors; the operator reads the first ones.
constexpr std::size_t kDiagnosticLimit = 4000;

// Collects the diagnostics of libxml2 and libxslt while an operation runs, refuses network
// access to every resource a document or stylesheet loads, and restores the libraries' previous
// handlers, entity loader and default security preferences afterwards: they are process-wide
// settings that belong to the host.
class OperationScope {
public:
    OperationScope()
        : structured_(xmlStructuredError), structuredContext_(xmlStructuredErrorContext),
          generic_(xmlGenericError), genericContext_(xmlGenericErrorContext),
          xsltGeneric_(xsltGenericError), xsltGenericContext_(xsltGenericErrorContext),
          loader_(xmlGetExternalEntityLoader()), defaultPrefs_(xsltGetDefaultSecurityPrefs()) {
        xmlSetStructuredErrorFunc(this, &OperationScope::OnStructured);
        xmlSetGenericErrorFunc(this, &OperationScope::OnGeneric);
        xsltSetGenericErrorFunc(this, &OperationScope::OnGeneric);
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
    }
    ~OperationScope() {
        xsltSetDefaultSecurityPrefs(defaultPrefs_);
        if (prefs_)
            xsltFreeSecurityPrefs(prefs_);
        xmlSetExternalEntityLoader(loader_);
        xsltSetGenericErrorFunc(xsltGenericContext_, xsltGeneric_);
        xmlSetGenericErrorFunc(genericContext_, generic_);
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

    // Reading files is allowed; writing files, creating folders and the network are not. Also
    // made the default for the stylesheet's compilation, which checks xsl:import and
    // xsl:include against the default preferences.
    xsltSecurityPrefsPtr ReadOnlyPrefs() {
        if (!prefs_) {
            prefs_ = xsltNewSecurityPrefs();
            if (!prefs_)
                throw ComponentError(kStatusOutOfMemory, u"");
            xsltSetSecurityPrefs(prefs_, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
            xsltSetSecurityPrefs(prefs_, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
            xsltSetSecurityPrefs(prefs_, XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
            xsltSetSecurityPrefs(prefs_, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
            xsltSetDefaultSecurityPrefs(prefs_);
        }
        return prefs_;
    }

    static void OnGeneric(void* self, const char* format, ...) {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        static_cast<OperationScope*>(self)->Append(buffer);
    }
    static void OnStructured(void* self, xmlErrorPtr error) {
        if (!error || !error->message)
            return;
        std::string line;
        if (error->line > 0)
            line = "line " + std::to_string(error->line) + ": ";
        line += error->message;
        static_cast<OperationScope*>(self)->Append(line);
    }

    // What the libraries reported, or `fallback` when they reported nothing.
    std::u16string Diagnostic(std::u16string_view fallback) const {
        std::string text = text_;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        return text.empty() ? std::u16string(fallback) : FromUtf8(text);
    }

private:
    void Append(std::string_view piece) {
        if (text_.size() < kDiagnosticLimit)
            text_.append(piece.substr(0, kDiagnosticLimit - text_.size()));
    }

    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
    xmlGenericErrorFunc generic_;
    void* genericContext_;
    xmlGenericErrorFunc xsltGeneric_;
    void* xsltGenericContext_;
    xmlExternalEntityLoader loader_;
    xsltSecurityPrefsPtr defaultPrefs_;
    xsltSecurityPrefsPtr prefs_ = nullptr;
    std::string text_;
};

struct TransformContextDeleter {
    void operator()(xsltTransformContextPtr context) const { xsltFreeTransformContext(context); }
};

bool IsUtf8(const xmlChar* encoding) {
    return !encoding || strcasecmp(reinterpret_cast<const char*>(encoding), "UTF-8") == 0 ||
           strcasecmp(reinterpret_cast<const char*>(encoding), "UTF8") == 0;
}

std::string TakeXmlBytes(xmlChar* data, int size) {
    std::string bytes;
    if (data && size > 0)
        bytes.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
    xmlFree(data);
    return bytes;
}

// The document URL of a file: its absolute path with the characters a URI does not allow (blanks,
// letters outside ASCII) escaped, so that a relative reference is resolved against it rather
// than dropped as an invalid base. The library unescapes the name again when it opens a file.
std::string FileUrl(const std::string& path) {
    if (path.empty())
        return {};
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string full = error ? path : absolute.lexically_normal().string();
    xmlChar* uri = xmlPathToURI(reinterpret_cast<const xmlChar*>(full.c_str()));
    if (!uri)
        return full;
    std::string result(reinterpret_cast<const char*>(uri));
    xmlFree(uri);
    return result;
}

// Extension functions are registered for the whole process, once.
void RegisterExtensionFunctions() {
    static std::once_flag once;
    std::call_once(once, [] {
        exsltRegisterAll();
        xsltRegisterExtModuleFunction(
            reinterpret_cast<const xmlChar*>("node-set"),
            reinterpret_cast<const xmlChar*>("urn:schemas-microsoft-com:xslt"),
            xsltFunctionNodeSet);
    });
}

// Watches one transformation against its limits. libxslt calls the handler of its debugger
// interface before every instruction; the handler stops the transformation (state STOPPED, which
// unwinds the templates) once the time is up or the memory taken since the start exceeds the
// limit. The clock is the coarse one, and memory is only measured when it has moved, so that an
// ordinary report pays next to nothing.
class TransformWatch {
public:
    TransformWatch(const TransformLimits& limits, xsltTransformContextPtr context)
        : limits_(limits), deadline_(Now() + limits.time), baseline_(MemoryInUse()),
          savedStatus_(xsltGetDebuggerStatus()) {
        active_ = this;
        void* callbacks[3] = {reinterpret_cast<void*>(&TransformWatch::OnInstruction), nullptr,
                              nullptr};
        xsltSetDebuggerCallbacks(3, callbacks);
        xsltSetDebuggerStatus(XSLT_DEBUG_RUN);
        context->debugStatus = XSLT_DEBUG_RUN; // taken from the global when the context was made
    }
    ~TransformWatch() {
        xsltSetDebuggerStatus(savedStatus_);
        void* none[3] = {nullptr, nullptr, nullptr};
        xsltSetDebuggerCallbacks(3, none);
        active_ = nullptr;
    }
    TransformWatch(const TransformWatch&) = delete;
    TransformWatch& operator=(const TransformWatch&) = delete;

    // Why the transformation was stopped; empty when it was not.
    const std::u16string& Stopped() const { return stopped_; }

    static std::u16string ResultTooLarge(const TransformLimits& limits) {
        return FromUtf8("The transformation was stopped: its result grew beyond " +
                        std::to_string(limits.bytes >> 20) + " MB.");
    }

private:
    static std::chrono::nanoseconds Now() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }
    // Bytes the allocator has handed out (heap and mapped blocks).
    static std::size_t MemoryInUse() {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    }

    static void OnInstruction(xmlNodePtr, xmlNodePtr, xsltTemplatePtr,
                              xsltTransformContextPtr context) {
        TransformWatch* watch = active_;
        if (!watch || !context || !watch->stopped_.empty())
            return;
        const std::chrono::nanoseconds now = Now();
        if (now == watch->lastCheck_)
            return;
        watch->lastCheck_ = now;
        if (now >= watch->deadline_) {
            const auto seconds =
                std::chrono::duration_cast<std::chrono::milliseconds>(watch->limits_.time).count();
            watch->stopped_ = FromUtf8("The transformation was stopped: it ran longer than " +
                                       FormatSeconds(seconds) + " s.");
        } else if (const std::size_t used = MemoryInUse();
                   used > watch->baseline_ && used - watch->baseline_ > watch->limits_.bytes) {
            watch->stopped_ = ResultTooLarge(watch->limits_);
        }
        if (!watch->stopped_.empty())
            context->state = XSLT_STATE_STOPPED;
    }

    static std::string FormatSeconds(long long milliseconds) {
        std::string text = std::to_string(milliseconds / 1000);
        if (milliseconds % 1000 != 0) {
            char fraction[8];
            std::snprintf(fraction, sizeof fraction, ".%03lld", milliseconds % 1000);
            text += fraction;
            while (text.back() == '0')
                text.pop_back();
        }
        return text;
    }

    static inline thread_local TransformWatch* active_ = nullptr;
    TransformLimits limits_;
    std::chrono::nanoseconds deadline_;
    std::chrono::nanoseconds lastCheck_{};
    std::size_t baseline_;
    int savedStatus_;
    std::u16string stopped_;
};

// libxslt takes parameters as XPath texts only. The parameter is entered the library's own way
// (as an empty string, which also honours a variable of that name) and its value then replaced
// by the node-set of the document's root; the library frees that value, never the document.
void SetDocumentParameter(xsltTransformContextPtr context, const std::string& name,
                          xmlDocPtr document, OperationScope& scope) {
    if (!document)
        throw ComponentError(kStatusFailed, u"The document of a stylesheet parameter is empty.");
    const auto* utf8Name = reinterpret_cast<const xmlChar*>(name.c_str());
    if (xsltQuoteOneUserParam(context, utf8Name, reinterpret_cast<const xmlChar*>("")) != 0)
        throw ComponentError(kStatusFailed,
                             scope.Diagnostic(u"The stylesheet parameters are not valid."));
    auto* entry =
        static_cast<xsltStackElemPtr>(xmlHashLookup2(context->globalVars, utf8Name, nullptr));
    if (!entry)
        return; // a variable of the stylesheet, which parameters do not set
    xmlXPathObjectPtr value = xmlXPathNewNodeSet(reinterpret_cast<xmlNodePtr>(document));
    if (!value)
        throw ComponentError(kStatusOutOfMemory, u"");
    xmlXPathFreeObject(entry->value);
    entry->value = value;
}

} // namespace

// A libxml2 tree; for a transformation result also the compiled stylesheet whose output settings
// govern the serialisation (shared, it owns its own copy of the stylesheet tree).
struct XmlDocument::State {
    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { Reset(); }

    // A nested type may read the document's state, which the service's helpers take this way.
    static State& Of(const XmlDocument& document) { return *document.state_; }

    void Reset();
    // The serialised bytes in the output encoding, and whether that encoding is UTF-8.
    bool Serialise(std::string& bytes, bool& utf8) const;
    // The same bytes where they are kept (serialised at the first call); nullptr on failure.
    const std::string* SerialisedBytes() const;

    xmlDocPtr doc = nullptr;
    std::shared_ptr<xsltStylesheet> output;
    mutable std::optional<std::string> serialised;
    mutable bool serialisedUtf8 = true;
};

XmlDocument::XmlDocument() : state_(std::make_unique<State>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Empty() const {
    return state_->doc == nullptr;
}

void XmlDocument::State::Reset() {
    if (doc)
        xmlFreeDoc(doc);
    doc = nullptr;
    output.reset();
    serialised.reset();
}

bool XmlDocument::LoadFile(const std::string& path) {
    state_->Reset();
    OperationScope scope;
    xmlDocPtr& doc = state_->doc;
    doc = xmlReadFile(path.c_str(), nullptr, kParseOptions);
    if (!doc)
        return false;
    // The same base as LoadText gives a text from this file: the escaped absolute path.
    const std::string url = FileUrl(path);
    if (!url.empty()) {
        xmlChar* copy = xmlStrdup(reinterpret_cast<const xmlChar*>(url.c_str()));
        if (copy) {
            xmlFree(const_cast<xmlChar*>(doc->URL));
            doc->URL = copy;
        }
    }
    return true;
}

bool XmlDocument::LoadText(std::u16string_view text, const std::string& baseFile) {
    state_->Reset();
    xmlDocPtr& doc = state_->doc;
    if (text.size() > INT_MAX / 2)
        return false;
    OperationScope scope;
    const std::string url = FileUrl(baseFile);
    const char* base = url.empty() ? nullptr : url.c_str();
    const int size = static_cast<int>(text.size() * 2);
    if constexpr (std::endian::native == std::endian::little) {
        doc = xmlReadMemory(reinterpret_cast<const char*>(text.data()), size, base, "UTF-16LE",
                            kParseOptions);
    } else {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size));
        for (char16_t unit : text) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
        doc = xmlReadMemory(bytes.data(), size, base, "UTF-16LE", kParseOptions);
    }
    return doc != nullptr;
}

bool XmlDocument::State::Serialise(std::string& bytes, bool& utf8) const {
    const std::string* kept = SerialisedBytes();
    if (!kept)
        return false;
    bytes = *kept;
    utf8 = serialisedUtf8;
    return true;
}

const std::string* XmlDocument::State::SerialisedBytes() const {
    if (!doc)
        return nullptr;
    if (!serialised) {
        OperationScope scope;
        xmlChar* data = nullptr;
        int size = 0;
        if (output) {
            const xmlChar* encoding = nullptr;
            XSLT_GET_IMPORT_PTR(encoding, output.get(), encoding)
            serialisedUtf8 = IsUtf8(encoding);
            if (xsltSaveResultToString(&data, &size, doc, output.get()) != 0)
                return nullptr;
        } else {
            serialisedUtf8 = true;
            xmlDocDumpMemoryEnc(doc, &data, &size, "UTF-8");
            if (!data)
                return nullptr;
        }
        serialised = TakeXmlBytes(data, size);
    }
    return &*serialised;
}

std::optional<std::u16string> XmlDocument::Text() const {
    std::string bytes;
    bool utf8 = true;
    if (!state_->Serialise(bytes, utf8))
        return std::nullopt;
    if (utf8)
        return FromUtf8(bytes);
    // The output encoding is another one: serialise the tree once more without conversion.
    OperationScope scope;
    xmlOutputBufferPtr buffer = xmlAllocOutputBuffer(nullptr);
    if (!buffer)
        return std::nullopt;
    const bool written = xsltSaveResultTo(buffer, state_->doc, state_->output.get()) >= 0;
    std::string text;
    if (written)
        text.assign(reinterpret_cast<const char*>(xmlOutputBufferGetContent(buffer)),
                    xmlOutputBufferGetSize(buffer));
    xmlOutputBufferClose(buffer);
    if (!written)
        return std::nullopt;
    return FromUtf8(text);
}

void XmlDocument::Save(int fd, const std::string& pathForMessages) const {
    std::string bytes;
    bool utf8 = true;
    if (!state_->Serialise(bytes, utf8))
        throw ComponentError(kStatusFailed, u"The document cannot be serialised.");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            throw ComponentError(kStatusFailed, FromUtf8("Cannot write \"" + pathForMessages +
                                                         "\": " + std::strerror(error)));
        }
        done += static_cast<std::size_t>(n);
    }
}

XmlDomService::XmlDomService() {
    xmlInitParser();
    xsltInit();
    RegisterExtensionFunctions();
}

std::unique_ptr<XmlDocument> XmlDomService::CreateDocument() {
    try {
        return std::make_unique<XmlDocument>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace {

// Compiles `tree`, which it takes over, and transforms `source` with it.
void TransformWithTree(XmlDocument::State& source, xmlDocPtr tree, XmlDocument::State& result,
                       const XsltParameters& parameters, const XsltDocumentParameters& documents,
                       const TransformLimits& limits) {
    OperationScope scope;
    xsltSecurityPrefsPtr prefs = scope.ReadOnlyPrefs();
    xsltStylesheetPtr compiled = xsltParseStylesheetDoc(tree);
    if (!compiled) {
        xmlFreeDoc(tree);
        throw ComponentError(kStatusFailed, scope.Diagnostic(u"The stylesheet does not compile."));
    }
    std::shared_ptr<_xsltStylesheet> style(compiled, xsltFreeStylesheet);
    if (style->errors != 0)
        throw ComponentError(kStatusFailed, scope.Diagnostic(u"The stylesheet does not compile."));

    std::unique_ptr<xsltTransformContext, TransformContextDeleter> context(
        xsltNewTransformContext(style.get(), source.doc));
    if (!context)
        throw ComponentError(kStatusOutOfMemory, u"");
    xsltSetCtxtSecurityPrefs(prefs, context.get());
    xsltSetTransformErrorFunc(context.get(), &scope, &OperationScope::OnGeneric);
    if (!parameters.empty()) {
        std::vector<std::string> texts;
        texts.reserve(parameters.size() * 2);
        for (const auto& [name, value] : parameters) {
            texts.push_back(name);
            texts.push_back(ToUtf8(value));
        }
        std::vector<const char*> list;
        for (const std::string& text : texts)
            list.push_back(text.c_str());
        list.push_back(nullptr);
        if (xsltQuoteUserParams(context.get(), list.data()) != 0)
            throw ComponentError(kStatusFailed,
                                 scope.Diagnostic(u"The stylesheet parameters are not valid."));
    }
    for (const auto& [name, document] : documents)
        SetDocumentParameter(context.get(), name, XmlDocument::State::Of(*document).doc, scope);
    xmlDocPtr output = nullptr;
    std::u16string stopped;
    {
        TransformWatch watch(limits, context.get());
        output = xsltApplyStylesheetUser(style.get(), source.doc, nullptr, nullptr, nullptr,
                                         context.get());
        stopped = watch.Stopped();
    }
    const bool failed =
        !output || context->state == XSLT_STATE_ERROR || context->state == XSLT_STATE_STOPPED;
    context.reset();
    if (failed) {
        if (output)
            xmlFreeDoc(output);
        if (!stopped.empty())
            throw ComponentError(kStatusFailed, stopped);
        throw ComponentError(kStatusFailed, scope.Diagnostic(u"The transformation failed."));
    }
    result.Reset();
    result.doc = output;
    result.output = std::move(style);
    // Serialised once here (kept for Text and Save): a result beyond the limit is never written.
    if (const std::string* bytes = result.SerialisedBytes();
        bytes && bytes->size() > limits.bytes) {
        result.Reset();
        throw ComponentError(kStatusFailed, TransformWatch::ResultTooLarge(limits));
    }
}

} // namespace

void XmlDomService::TransformNodeToObject(XmlDocument& source, const XmlDocument& stylesheet,
                                          XmlDocument& result, const XsltParameters& parameters,
                                          const XsltDocumentParameters& documents,
                                          const TransformLimits& limits) {
    if (source.Empty() || stylesheet.Empty())
        throw ComponentError(kStatusFailed, u"The source or the stylesheet document is empty.");
    // Compiling takes the tree over; the stylesheet document stays as it is.
    xmlDocPtr copy = xmlCopyDoc(stylesheet.state_->doc, 1);
    if (!copy)
        throw ComponentError(kStatusOutOfMemory, u"");
    TransformWithTree(*source.state_, copy, *result.state_, parameters, documents, limits);
}

void XmlDomService::TransformNodeToObject(XmlDocument& source, XmlDocument&& stylesheet,
                                          XmlDocument& result, const XsltParameters& parameters,
                                          const XsltDocumentParameters& documents,
                                          const TransformLimits& limits) {
    if (source.Empty() || stylesheet.Empty())
        throw ComponentError(kStatusFailed, u"The source or the stylesheet document is empty.");
    xmlDocPtr tree = std::exchange(stylesheet.state_->doc, nullptr);
    stylesheet.state_->Reset();
    TransformWithTree(*source.state_, tree, *result.state_, parameters, documents, limits);
}

} // namespace sepmet
