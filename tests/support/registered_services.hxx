#pragma once
// The services this library registers, exactly, in start-up order. A service
// that joins the start-up takes its line here, in its place.
#include <string>
#include <vector>

namespace vl::test {

inline const std::vector<std::string>& registeredServices() {
    static const std::vector<std::string> names = {
        "Core-2006-03-FileManagement",    // 1
        "Internal-Core-2006-03-Types",    // 2
        "Core-2006-03-Session",           // 3
        "Internal-Core-2007-05-Session",  // 4
        "Core-2007-01-Session",           // 5
        "Core-2006-03-DataManagement",    // 6
        "Core-2007-01-DataManagement",    // 7
        "Core-2007-06-DataManagement",    // 8
        "Core-2007-06-LOV",               // 9
        "Core-2006-03-Reservation",       // 10
    };
    return names;
}

}  // namespace vl::test
