#pragma once
// The pugixml writer that collects a document serialised as UTF-16LE into a UTF-16 string.

#include <pugixml.hpp>
#include <string>

namespace sepmet {

class xml_writer_source final : public pugi::xml_writer {
public:
    explicit xml_writer_source(std::u16string& target) : target_(target) {}

    // Appends the size / 2 UTF-16LE code units of `data`; an odd trailing byte is dropped and a
    // null `data` ignored.
    void write(const void* data, size_t size) override;

private:
    std::u16string& target_;
};

} // namespace sepmet
