#pragma once
// Base of every service skeleton: a table from operation name to the static
// function that answers it.
#include "gateway/t2l_service.hxx"

#include <map>
#include <string>

namespace Velmora::Soa::Internal::Server {

class IiopSkeleton : public T2LService {
public:
    using Operation = std::string (*)(const std::string& requestXml);

    IiopSkeleton() = default;
    IiopSkeleton(const IiopSkeleton&) = default;
    IiopSkeleton& operator=(const IiopSkeleton&) = default;
    ~IiopSkeleton() = default;

    void initialize() override {}
    // Answers every request with a text: an unknown operation and any
    // exception that leaves an operation become an exception document.
    std::string invokeMethod(const std::string& operationName, const std::string& requestXml) override;

    const std::map<std::string, Operation>& operations() const { return m_operations; }
    const std::string& serviceName() const { return m_serviceName; }

protected:
    std::map<std::string, Operation> m_operations;
    std::string m_serviceName;
};

}  // namespace Velmora::Soa::Internal::Server
