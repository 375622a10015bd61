// One ordered record of the calls the fakes see: platform calls, Direct3D
// and device calls, application hooks.  Tests compare the order of the
// entries they care about and ignore the rest.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class CallLog {
public:
    void add(std::string entry) { entries.push_back(std::move(entry)); }
    void clear() { entries.clear(); }

    // The entries that start with one of the prefixes, in order.
    std::vector<std::string> only(std::initializer_list<std::string_view> prefixes) const {
        std::vector<std::string> kept;
        for (const std::string& entry : entries)
            for (std::string_view prefix : prefixes)
                if (std::string_view(entry).substr(0, prefix.size()) == prefix) {
                    kept.push_back(entry);
                    break;
                }
        return kept;
    }
    bool contains(std::string_view entry) const {
        for (const std::string& e : entries)
            if (e == entry) return true;
        return false;
    }
    size_t count(std::string_view entry) const {
        size_t n = 0;
        for (const std::string& e : entries)
            if (e == entry) ++n;
        return n;
    }

    std::vector<std::string> entries;
};

} // namespace testsupport
