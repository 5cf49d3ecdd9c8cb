#include "platform/TextUtil.h"

namespace platform {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    size_t p = 0;
    while (p < text.size()) {
        size_t b = text.find_first_not_of(' ', p);
        if (b == std::string::npos)
            break;
        size_t e = text.find(' ', b);
        if (e == std::string::npos)
            e = text.size();
        words.push_back(text.substr(b, e - b));
        p = e;
    }
    return words;
}

} // namespace platform
