#pragma once
// The XML DOM and XSLT service of the report: documents that load from a file or a text, give
// back their text, are transformed by a stylesheet into a result document, and are saved.
// Built on libxml2 and libxslt, on Windows on MSXML 6.0 through COM. Diagnostics of the parser and
// the processor are collected for the error in hand and never printed; the handlers of the
// libraries are restored afterwards.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sepmet {

// Status codes in the host platform's 32-bit form.
inline constexpr std::int32_t kStatusFailed = static_cast<std::int32_t>(0x80004005);
inline constexpr std::int32_t kStatusOutOfMemory = static_cast<std::int32_t>(0x8007000E);

// The message text of a status: `systemText` (the processor's diagnostic) without its trailing
// line break, or when that is empty "IDispatch error #%d" for 0x80040200...0x8004FFFF (filled
// with the code minus 0x80040200) and "Unknown error 0x%0lX" for any other code.
std::u16string StatusMessageText(std::int32_t status, std::u16string_view systemText);

// A failing call of the service, with its status code and message text.
class ComponentError : public std::exception {
public:
    ComponentError(std::int32_t status, std::u16string_view systemText);
    std::int32_t Status() const { return status_; }
    const std::u16string& MessageText() const { return message_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::int32_t status_;
    std::u16string message_;
    std::string what_;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Loading is always synchronous. Both give false, not an error, for a text or file that is
    // missing, unreadable or not well-formed; the document is then empty. Loading never touches
    // the network; entities are kept as written.
    bool LoadFile(const std::string& path);
    // `text` is UTF-16; any encoding named in its declaration is overridden. `baseFile`, when
    // given, is the file the text came from: relative references in the document (xsl:import,
    // xsl:include, document()) resolve beside it, as they do for a document loaded from it.
    bool LoadText(std::u16string_view text, const std::string& baseFile = {});

    bool Empty() const;

    // The document as text: the serialisation its output settings ask for (a transformation
    // result is serialised as its stylesheet's xsl:output says, e.g. as HTML). Nothing for an
    // empty document.
    std::optional<std::u16string> Text() const;

    // Writes the same serialisation, in the output encoding, to the open file `fd`.
    // `pathForMessages` names the file in the error. Raises ComponentError.
    void Save(int fd, const std::string& pathForMessages) const;

    // What each system's library keeps for the document, defined beside that system's service.
    struct State;

private:
    friend class XmlDomService;
    std::unique_ptr<State> state_;
};

// Top-level parameters of a stylesheet: name and value. Each value is passed as a string, never
// evaluated as an expression, whatever quotes it holds.
using XsltParameters = std::vector<std::pair<std::string, std::u16string>>;

// Bounds of one transformation: a template that runs away (endless recursion, a string doubled
// without end) is stopped instead of holding the program, and the memory, for good.
struct TransformLimits {
    std::chrono::milliseconds time{60000}; // from the start of the transformation
    std::size_t bytes = 64u << 20;         // the serialised result, and the memory taken meanwhile
};

// Top-level parameters whose value is a document: the parameter is the node-set of its root node
// (a document passed to an XSLT processor as a parameter, e.g. `$details/details/level`). The
// documents must outlive the transformation; they are not changed.
using XsltDocumentParameters = std::vector<std::pair<std::string, const XmlDocument*>>;

class XmlDomService {
public:
    // Initialising the libraries cannot fail. Stylesheets may call the EXSLT functions and
    // msxsl:node-set (namespace "urn:schemas-microsoft-com:xslt"), the same function as
    // exsl:node-set.
    XmlDomService();

    // A new, empty document; nullptr only when memory runs out.
    std::unique_ptr<XmlDocument> CreateDocument();

    // Transforms `source` with `stylesheet` into `result`, which receives the output as a tree.
    // The stylesheet may read files; writing files, creating folders and any network access are
    // refused and fail the transformation. Raises ComponentError (kStatusFailed with the
    // processor's diagnostic) when the stylesheet does not compile or the transformation fails.
    // `source` may be changed by the transformation (xsl:strip-space). `parameters` set the
    // stylesheet's top-level xsl:param of those names, `documents` those that take a document; a
    // name the stylesheet declares as a variable, not a parameter, is not set. A transformation
    // that exceeds `limits` is stopped and fails with a text that names the limit.
    void TransformNodeToObject(XmlDocument& source, const XmlDocument& stylesheet,
                               XmlDocument& result, const XsltParameters& parameters = {},
                               const XsltDocumentParameters& documents = {},
                               const TransformLimits& limits = {});
    // The same for a stylesheet document not needed afterwards: its own tree is compiled instead
    // of a copy, and the document is empty afterwards (whatever the outcome).
    void TransformNodeToObject(XmlDocument& source, XmlDocument&& stylesheet, XmlDocument& result,
                               const XsltParameters& parameters = {},
                               const XsltDocumentParameters& documents = {},
                               const TransformLimits& limits = {});
};

} // namespace sepmet
