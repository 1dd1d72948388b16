#include "platform/utf.h"
#include "platform/win_text.h"
#include "platform/xml_dom_service.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <io.h>
#include <new>

// clang-format off
#include <windows.h> // first: the other Windows headers need its types
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>
// clang-format on

namespace sepmet {
namespace {

// MSXML 6.0's classes and the interfaces used here; mingw-w64's headers stop at MSXML 4.0 and
// its import libraries hold none of these identifiers.
constexpr CLSID kFreeThreadedDomDocument60 = {
    0x88d96a06, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr CLSID kXslTemplate60 = {
    0x88d96a08, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr IID kIXmlDomDocument2 = {
    0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr IID kIXslTemplate = {
    0x2933bf93, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** put() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(std::u16string_view text)
        : b_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<UINT>(text.size()))) {
        if (!b_ && !text.empty())
            throw ComponentError(kStatusOutOfMemory, u"");
    }
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const { return b_; }
    BSTR* put() { return &b_; }
    std::u16string Text() const {
        return std::u16string(reinterpret_cast<const char16_t*>(b_), SysStringLen(b_));
    }

private:
    BSTR b_ = nullptr;
};

// A VARIANT that clears itself.
struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

VARIANT BoolVariant(bool value) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BOOL;
    variant.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
}

// The description the failing component left for this thread, else nothing (the status code
// then gives the text).
std::u16string ErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    Bstr description;
    if (FAILED(info->GetDescription(description.put())) || !description.get())
        return {};
    return description.Text();
}

void Check(HRESULT hr, std::u16string_view fallback = {}) {
    if (FAILED(hr)) {
        std::u16string text = ErrorDescription();
        throw ComponentError(static_cast<std::int32_t>(hr), text.empty() ? fallback : text);
    }
}

void SetProperty(IXMLDOMDocument2* doc, std::u16string_view name, const VARIANT& value) {
    Bstr property(name);
    Check(doc->setProperty(property.get(), value));
}

// A free-threaded document (the template object takes only those as its stylesheet), loaded
// synchronously, never validated. References of a stylesheet (xsl:import, xsl:include and
// document()) are followed, for files beside it; no DTD and no script are accepted.
HRESULT NewDocument(IXMLDOMDocument2** out) {
    *out = nullptr;
    HRESULT hr = CoCreateInstance(kFreeThreadedDomDocument60, nullptr, CLSCTX_INPROC_SERVER,
                                  kIXmlDomDocument2, reinterpret_cast<void**>(out));
    if (FAILED(hr))
        return hr;
    IXMLDOMDocument2* doc = *out;
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    try {
        SetProperty(doc, u"ProhibitDTD", BoolVariant(true));
        SetProperty(doc, u"ResolveExternals", BoolVariant(true));
        SetProperty(doc, u"AllowDocumentFunction", BoolVariant(true));
        SetProperty(doc, u"AllowXsltScript", BoolVariant(false));
    } catch (const ComponentError& e) {
        doc->Release();
        *out = nullptr;
        return e.Status();
    }
    return S_OK;
}

// MSXML takes a file name as a URL: a full Windows path, never a relative one or one with '/'.
std::u16string FullPath(const std::string& path) {
    return FullWindowsPath(FromUtf8(path));
}

bool LoadFromFile(IXMLDOMDocument2* doc, const std::string& path) {
    Variant source;
    source.v.vt = VT_BSTR;
    source.v.bstrVal = SysAllocString(WidePointer(FullPath(path)));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(doc->load(source.v, &loaded)) && loaded == VARIANT_TRUE;
}

// The text is already decoded, so an encoding named in its XML declaration means nothing.
// Windows' MSXML ignores it; Wine's re-decodes the text by it (a "UTF-16LE" declaration then
// garbles the document), so it is removed here for both.
std::u16string WithoutDeclaredEncoding(std::u16string_view text) {
    std::u16string copy(text);
    if (!copy.starts_with(u"<?xml"))
        return copy;
    const std::size_t end = copy.find(u"?>");
    const std::size_t at = copy.find(u" encoding=");
    if (end == std::u16string::npos || at == std::u16string::npos || at > end)
        return copy;
    const std::size_t quote = at + 10;
    if (quote >= end || (copy[quote] != u'"' && copy[quote] != u'\''))
        return copy;
    const std::size_t close = copy.find(copy[quote], quote + 1);
    if (close == std::u16string::npos || close > end)
        return copy;
    copy.erase(at, close + 1 - at);
    return copy;
}

bool LoadFromText(IXMLDOMDocument2* doc, std::u16string_view text) {
    Bstr bstr(WithoutDeclaredEncoding(text));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(doc->loadXML(bstr.get(), &loaded)) && loaded == VARIANT_TRUE;
}

std::u16string DocumentText(IXMLDOMDocument2* doc) {
    Bstr xml;
    if (FAILED(doc->get_xml(xml.put())))
        return {};
    return xml.get() ? xml.Text() : std::u16string();
}

// Whether the stylesheet asks for UTF-16 output; MSXML writes UTF-8 otherwise.
bool OutputIsUtf16(IXMLDOMDocument2* stylesheet) {
    try {
        Variant namespaces;
        namespaces.v.vt = VT_BSTR;
        namespaces.v.bstrVal = SysAllocString(L"xmlns:xsl='http://www.w3.org/1999/XSL/Transform'");
        SetProperty(stylesheet, u"SelectionNamespaces", namespaces.v);
    } catch (const ComponentError&) {
        return false;
    }
    ComPtr<IXMLDOMNode> node;
    Bstr query(u"/xsl:stylesheet/xsl:output/@encoding | /xsl:transform/xsl:output/@encoding");
    if (stylesheet->selectSingleNode(query.get(), node.put()) != S_OK || !node)
        return false;
    Bstr value;
    if (FAILED(node->get_text(value.put())) || !value.get())
        return false;
    std::u16string encoding = value.Text();
    for (char16_t& c : encoding)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return encoding.starts_with(u"UTF-16");
}

std::string StreamBytes(IStream* stream) {
    HGLOBAL memory = nullptr;
    Check(GetHGlobalFromStream(stream, &memory));
    STATSTG stat{};
    Check(stream->Stat(&stat, STATFLAG_NONAME));
    const auto size = static_cast<std::size_t>(stat.cbSize.QuadPart);
    std::string bytes;
    if (size > 0) {
        const void* data = GlobalLock(memory);
        if (!data)
            throw ComponentError(kStatusOutOfMemory, u"");
        bytes.assign(static_cast<const char*>(data), size);
        GlobalUnlock(memory);
    }
    return bytes;
}

std::u16string TimeLimitText(const TransformLimits& limits) {
    const long long ms = limits.time.count();
    std::string seconds = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        seconds += "." + fraction;
    }
    return FromUtf8("The transformation was stopped: it ran longer than " + seconds + " s.");
}

std::u16string SizeLimitText(const TransformLimits& limits) {
    return FromUtf8("The transformation was stopped: its result grew beyond " +
                    std::to_string(limits.bytes >> 20) + " MB.");
}

// The output stream of a transformation: a stream in memory that refuses to grow beyond the size
// limit and, once the time is up, any further output. MSXML offers no hook between instructions,
// so the limits are checked whenever the processor writes (Windows' MSXML writes as it goes,
// Wine's once at the end) and once more when it returns.
class LimitedStream final : public IStream {
public:
    LimitedStream(IStream* inner, const TransformLimits& limits)
        : inner_(inner), limits_(limits),
          deadline_(std::chrono::steady_clock::now() + limits.time) {
        inner_->AddRef();
    }
    LimitedStream(const LimitedStream&) = delete;
    LimitedStream& operator=(const LimitedStream&) = delete;

    // Why the output was refused, or after the run why it is over a limit; empty otherwise.
    std::u16string Verdict(std::size_t written) {
        if (stopped_.empty() && std::chrono::steady_clock::now() > deadline_)
            stopped_ = TimeLimitText(limits_);
        if (stopped_.empty() && written > limits_.bytes)
            stopped_ = SizeLimitText(limits_);
        return stopped_;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override {
        return inner_->Read(data, size, read);
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
        if (written)
            *written = 0;
        written_ += size;
        if (!Verdict(written_).empty())
            return STG_E_MEDIUMFULL;
        return inner_->Write(data, size, written);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* position) override {
        return inner_->Seek(move, origin, position);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
        return inner_->SetSize(size);
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override {
        return inner_->CopyTo(to, size, read, written);
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return inner_->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return inner_->Revert(); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                         DWORD type) override {
        return inner_->LockRegion(offset, size, type);
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                           DWORD type) override {
        return inner_->UnlockRegion(offset, size, type);
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override {
        return inner_->Stat(stat, flags);
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }

private:
    ~LimitedStream() { inner_->Release(); }

    IStream* inner_;
    TransformLimits limits_;
    std::chrono::steady_clock::time_point deadline_;
    std::atomic<ULONG> references_{1};
    std::size_t written_ = 0;
    std::u16string stopped_;
};

void AddStringParameter(IXSLProcessor* processor, const std::string& name,
                        std::u16string_view value) {
    Bstr parameterName(FromUtf8(name));
    Bstr noNamespace(u"");
    Variant parameterValue;
    parameterValue.v.vt = VT_BSTR;
    parameterValue.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.data()),
                                                 static_cast<UINT>(value.size()));
    Check(processor->addParameter(parameterName.get(), parameterValue.v, noNamespace.get()),
          u"The stylesheet parameters are not valid.");
}

// A document parameter is the document node itself: MSXML makes a node parameter the node-set of
// that node. Wine's MSXML takes only texts and answers E_NOTIMPL; the parameter then keeps the
// stylesheet's default, as for a processor that knows no such parameters.
void AddDocumentParameter(IXSLProcessor* processor, const std::string& name,
                          IXMLDOMDocument2* document) {
    if (!document)
        throw ComponentError(kStatusFailed, u"The document of a stylesheet parameter is empty.");
    Bstr parameterName(FromUtf8(name));
    Bstr noNamespace(u"");
    Variant parameterValue;
    parameterValue.v.vt = VT_DISPATCH;
    parameterValue.v.pdispVal = document;
    document->AddRef();
    const HRESULT hr =
        processor->addParameter(parameterName.get(), parameterValue.v, noNamespace.get());
    if (hr != E_NOTIMPL)
        Check(hr, u"The stylesheet parameters are not valid.");
}

} // namespace

// A loaded document, or for a transformation result the bytes the stylesheet's output method
// wrote, in its output encoding (UTF-8 unless the stylesheet names UTF-16).
struct XmlDocument::State {
    State() {
        // The host's thread normally has its apartment already; a thread without one gets a
        // single-threaded apartment for the lifetime of the document.
        comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        Reset();
        if (comInitialised)
            CoUninitialize();
    }

    // A nested type may read the document's state, which the service's helpers take this way.
    static State& Of(const XmlDocument& document) { return *document.state_; }

    void Reset() {
        if (doc)
            doc->Release();
        doc = nullptr;
        output.reset();
        outputUtf16 = false;
    }

    IXMLDOMDocument2* doc = nullptr;
    std::optional<std::string> output;
    bool outputUtf16 = false;
    bool comInitialised = false;
};

XmlDocument::XmlDocument() : state_(std::make_unique<State>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Empty() const {
    return state_->doc == nullptr && !state_->output;
}

bool XmlDocument::LoadFile(const std::string& path) {
    state_->Reset();
    IXMLDOMDocument2* doc = nullptr;
    if (FAILED(NewDocument(&doc)))
        return false;
    if (!LoadFromFile(doc, path)) {
        doc->Release();
        return false;
    }
    state_->doc = doc;
    return true;
}

bool XmlDocument::LoadText(std::u16string_view text, const std::string& baseFile) {
    state_->Reset();
    IXMLDOMDocument2* doc = nullptr;
    if (FAILED(NewDocument(&doc)))
        return false;
    if (!LoadFromText(doc, text)) {
        doc->Release();
        return false;
    }
    // A text has no location of its own for MSXML. When it is the text of `baseFile`, the
    // document is loaded from that file instead, so that its references resolve beside it.
    if (!baseFile.empty()) {
        IXMLDOMDocument2* fromFile = nullptr;
        if (SUCCEEDED(NewDocument(&fromFile))) {
            if (LoadFromFile(fromFile, baseFile) && DocumentText(fromFile) == DocumentText(doc))
                std::swap(doc, fromFile);
            fromFile->Release();
        }
    }
    state_->doc = doc;
    return true;
}

std::optional<std::u16string> XmlDocument::Text() const {
    if (const std::optional<std::string>& output = state_->output) {
        if (!state_->outputUtf16)
            return FromUtf8(*output);
        std::u16string text(output->size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>((*output)[2 * i]) |
                                            static_cast<unsigned char>((*output)[2 * i + 1]) << 8);
        if (!text.empty() && text.front() == u'\xFEFF')
            text.erase(0, 1);
        return text;
    }
    if (!state_->doc)
        return std::nullopt;
    Bstr xml;
    if (FAILED(state_->doc->get_xml(xml.put())))
        return std::nullopt;
    return xml.get() ? xml.Text() : std::u16string();
}

void XmlDocument::Save(int fd, const std::string& pathForMessages) const {
    std::string bytes;
    if (state_->output) {
        bytes = *state_->output;
    } else {
        const std::optional<std::u16string> text = Text();
        if (!text)
            throw ComponentError(kStatusFailed, u"The document cannot be serialised.");
        bytes = ToUtf8(*text);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int n = ::_write(fd, bytes.data() + done, chunk);
        if (n <= 0)
            throw ComponentError(kStatusFailed, FromUtf8("Cannot write \"" + pathForMessages +
                                                         "\": " + std::strerror(errno)));
        done += static_cast<std::size_t>(n);
    }
}

XmlDomService::XmlDomService() = default;

std::unique_ptr<XmlDocument> XmlDomService::CreateDocument() {
    try {
        return std::make_unique<XmlDocument>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The template object compiles the stylesheet, its processor receives the parameters and
// writes the output into a stream in memory: MSXML serialises it there exactly as its output
// method asks (an HTML result transformed into a DOM document would be re-parsed as XML).
void XmlDomService::TransformNodeToObject(XmlDocument& source, const XmlDocument& stylesheet,
                                          XmlDocument& result, const XsltParameters& parameters,
                                          const XsltDocumentParameters& documents,
                                          const TransformLimits& limits) {
    IXMLDOMDocument2* sourceDoc = source.state_->doc;
    IXMLDOMDocument2* stylesheetDoc = stylesheet.state_->doc;
    if (!sourceDoc || !stylesheetDoc)
        throw ComponentError(kStatusFailed, u"The source or the stylesheet document is empty.");
    ComPtr<IXSLTemplate> compiled;
    Check(CoCreateInstance(kXslTemplate60, nullptr, CLSCTX_INPROC_SERVER, kIXslTemplate,
                           reinterpret_cast<void**>(compiled.put())));
    Check(compiled->putref_stylesheet(stylesheetDoc), u"The stylesheet does not compile.");
    ComPtr<IXSLProcessor> processor;
    Check(compiled->createProcessor(processor.put()), u"The stylesheet does not compile.");

    Variant input;
    input.v.vt = VT_DISPATCH;
    input.v.pdispVal = sourceDoc;
    sourceDoc->AddRef();
    Check(processor->put_input(input.v));

    ComPtr<IStream> memory;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, memory.put()));
    auto* stream = new LimitedStream(memory.get(), limits);
    Variant output;
    output.v.vt = VT_UNKNOWN;
    output.v.punkVal = stream; // the variant holds the stream's first reference
    Check(processor->put_output(output.v));

    for (const auto& [name, value] : parameters)
        AddStringParameter(processor.get(), name, value);
    for (const auto& [name, document] : documents)
        AddDocumentParameter(processor.get(), name, XmlDocument::State::Of(*document).doc);

    VARIANT_BOOL done = VARIANT_FALSE;
    const HRESULT hr = processor->transform(&done);
    result.state_->Reset();
    std::string bytes = StreamBytes(memory.get());
    if (const std::u16string stopped = stream->Verdict(bytes.size()); !stopped.empty())
        throw ComponentError(kStatusFailed, stopped);
    Check(hr, u"The transformation failed.");
    if (done != VARIANT_TRUE)
        throw ComponentError(kStatusFailed, u"The transformation failed.");

    const bool utf16 = OutputIsUtf16(stylesheetDoc);
    result.state_->output = std::move(bytes);
    result.state_->outputUtf16 = utf16;
}

void XmlDomService::TransformNodeToObject(XmlDocument& source, XmlDocument&& stylesheet,
                                          XmlDocument& result, const XsltParameters& parameters,
                                          const XsltDocumentParameters& documents,
                                          const TransformLimits& limits) {
    struct Emptied {
        XmlDocument& document;
        ~Emptied() { XmlDocument::State::Of(document).Reset(); }
    } emptied{stylesheet};
    TransformNodeToObject(source, static_cast<const XmlDocument&>(stylesheet), result, parameters,
                          documents, limits);
}

} // namespace sepmet
