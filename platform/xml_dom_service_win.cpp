#include "platform/utf.h"
#include "platform/win_text.h"
#include "platform/xml_dom_service.h"

#include <algorithm>
#include <cerrno>
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
    const std::u16string wide = FromUtf8(path);
    const DWORD size = GetFullPathNameW(WidePointer(wide), 0, nullptr, nullptr);
    if (size == 0)
        return wide;
    std::u16string full(size, u'\0');
    const DWORD written =
        GetFullPathNameW(WidePointer(wide), size, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (written == 0 || written >= size)
        return wide;
    full.resize(written);
    return full;
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

} // namespace

XmlDocument::XmlDocument() {
    // The host's thread normally has its apartment already; a thread without one gets a
    // single-threaded apartment for the lifetime of the document.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(hr);
}

XmlDocument::~XmlDocument() {
    Reset();
    if (comInitialised_)
        CoUninitialize();
}

void XmlDocument::Reset() {
    if (doc_)
        doc_->Release();
    doc_ = nullptr;
    output_.reset();
    outputUtf16_ = false;
}

bool XmlDocument::Empty() const {
    return doc_ == nullptr && !output_;
}

bool XmlDocument::LoadFile(const std::string& path) {
    Reset();
    IXMLDOMDocument2* doc = nullptr;
    if (FAILED(NewDocument(&doc)))
        return false;
    if (!LoadFromFile(doc, path)) {
        doc->Release();
        return false;
    }
    doc_ = doc;
    return true;
}

bool XmlDocument::LoadText(std::u16string_view text, const std::string& baseFile) {
    Reset();
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
    doc_ = doc;
    return true;
}

std::optional<std::u16string> XmlDocument::Text() const {
    if (output_) {
        if (!outputUtf16_)
            return FromUtf8(*output_);
        std::u16string text(output_->size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>((*output_)[2 * i]) |
                                            static_cast<unsigned char>((*output_)[2 * i + 1]) << 8);
        if (!text.empty() && text.front() == u'\xFEFF')
            text.erase(0, 1);
        return text;
    }
    if (!doc_)
        return std::nullopt;
    Bstr xml;
    if (FAILED(doc_->get_xml(xml.put())))
        return std::nullopt;
    return xml.get() ? xml.Text() : std::u16string();
}

void XmlDocument::Save(int fd, const std::string& pathForMessages) const {
    std::string bytes;
    if (output_) {
        bytes = *output_;
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
    return std::unique_ptr<XmlDocument>(new (std::nothrow) XmlDocument());
}

// The template object compiles the stylesheet, its processor receives the parameters and
// writes the output into a stream in memory: MSXML serialises it there exactly as its output
// method asks (an HTML result transformed into a DOM document would be re-parsed as XML).
void XmlDomService::TransformNodeToObject(XmlDocument& source, const XmlDocument& stylesheet,
                                          XmlDocument& result, const XsltParameters& parameters) {
    if (!source.doc_ || !stylesheet.doc_)
        throw ComponentError(kStatusFailed, u"The source or the stylesheet document is empty.");
    ComPtr<IXSLTemplate> compiled;
    Check(CoCreateInstance(kXslTemplate60, nullptr, CLSCTX_INPROC_SERVER, kIXslTemplate,
                           reinterpret_cast<void**>(compiled.put())));
    Check(compiled->putref_stylesheet(stylesheet.doc_), u"The stylesheet does not compile.");
    ComPtr<IXSLProcessor> processor;
    Check(compiled->createProcessor(processor.put()), u"The stylesheet does not compile.");

    Variant input;
    input.v.vt = VT_DISPATCH;
    input.v.pdispVal = source.doc_;
    source.doc_->AddRef();
    Check(processor->put_input(input.v));

    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    Variant output;
    output.v.vt = VT_UNKNOWN;
    output.v.punkVal = stream.get();
    stream->AddRef();
    Check(processor->put_output(output.v));

    for (const auto& [name, value] : parameters) {
        Bstr parameterName(FromUtf8(name));
        Bstr noNamespace(u"");
        Variant parameterValue;
        parameterValue.v.vt = VT_BSTR;
        parameterValue.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.data()),
                                                     static_cast<UINT>(value.size()));
        Check(processor->addParameter(parameterName.get(), parameterValue.v, noNamespace.get()),
              u"The stylesheet parameters are not valid.");
    }
    VARIANT_BOOL done = VARIANT_FALSE;
    Check(processor->transform(&done), u"The transformation failed.");
    if (done != VARIANT_TRUE)
        throw ComponentError(kStatusFailed, u"The transformation failed.");

    std::string bytes = StreamBytes(stream.get());
    const bool utf16 = OutputIsUtf16(stylesheet.doc_);
    result.Reset();
    result.output_ = std::move(bytes);
    result.outputUtf16_ = utf16;
}

} // namespace sepmet
