#pragma once
// The gateway's view of a service: it hands each request to invokeMethod.
#include <string>

class T2LService {
public:
    T2LService() = default;
    T2LService(const T2LService&) = default;
    T2LService& operator=(const T2LService&) = default;

    virtual void initialize() {}
    virtual std::string invokeMethod(const std::string& operationName, const std::string& requestXml) = 0;
    virtual void cleanup() {}

protected:
    ~T2LService() = default;
};
