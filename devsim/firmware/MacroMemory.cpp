#include "devsim/firmware/MacroMemory.h"

#include <cstdio>

namespace nqsim {

namespace {

size_t Word(const uint8_t* at) { return size_t(at[0] | (at[1] << 8)); }

std::string EventText(const uint8_t* event)
{
    const unsigned delay = unsigned(Word(event));
    const int type = event[2] & 0x7F;
    const bool down = (event[2] & 0x80) != 0;
    const unsigned button = event[3];
    char text[96];
    switch (type) {
    case 10: std::snprintf(text, sizeof text, "key 0x%02x %s", button, down ? "down" : "up"); break;
    case 9: std::snprintf(text, sizeof text, "modifier 0x%02x %s", button, down ? "down" : "up"); break;
    case 1: std::snprintf(text, sizeof text, "mouse button 0x%02x %s", button, down ? "down" : "up"); break;
    case 4: std::snprintf(text, sizeof text, "move %s %u", down ? "left" : "right", button); break;
    case 5: std::snprintf(text, sizeof text, "move %s %u", down ? "up" : "down", button); break;
    default: std::snprintf(text, sizeof text, "type %d 0x%02x %s", type, button, down ? "down" : "up"); break;
    }
    char line[160];
    std::snprintf(line, sizeof line, "%s, then %u ms", text, delay);
    return line;
}

} // namespace

bool MacroMemory::AcceptChunk(size_t memorySize, size_t offset, size_t length, const uint8_t* data, size_t& announced)
{
    if (offset == 0) {
        // A refused header ends the image before it: its later chunks are refused too.
        announced = 0;
        if (length < 6 || data[0] != 0xAA || data[1] != 0x55)
            return false;
        const size_t total = Word(data + 2);
        const size_t count = Word(data + 4);
        if (total > memorySize || total < kHeaderSize + 6 * count || length > total)
            return false;
        announced = total;
        return true;
    }
    return announced != 0 && offset + length <= announced;
}

std::string MacroMemory::Decode(const std::vector<uint8_t>& memory)
{
    if (memory.size() < kHeaderSize || memory[0] != 0xAA || memory[1] != 0x55)
        return "  no macros\n";
    const size_t total = Word(&memory[2]);
    const size_t count = Word(&memory[4]);
    std::string out;
    char line[160];
    std::snprintf(line, sizeof line, "  %zu macros, %zu bytes\n", count, total);
    out += line;
    for (size_t m = 0; m < count; ++m) {
        const size_t at = kHeaderSize + 2 * m;
        if (at + 2 > total || at + 2 > memory.size()) {
            out += "  (offset table cut short)\n";
            break;
        }
        const size_t block = Word(&memory[at]);
        if (block + 4 > total || block + 4 > memory.size()) {
            std::snprintf(line, sizeof line, "  macro %zu: offset %zu outside the image\n", m, block);
            out += line;
            continue;
        }
        const size_t events = Word(&memory[block]);
        std::snprintf(line, sizeof line, "  macro %zu: %zu events\n", m, events);
        out += line;
        for (size_t e = 0; e < events; ++e) {
            const size_t event = block + 4 + 4 * e;
            if (event + 4 > total || event + 4 > memory.size()) {
                out += "    (events beyond the image)\n";
                break;
            }
            out += "    " + EventText(&memory[event]) + "\n";
        }
    }
    return out;
}

} // namespace nqsim
