#pragma once
// "Core-2007-06-LOV" on the platform: one look-up per property; the lists
// found are plain objects of the reply, bad input and failed look-ups are
// partial errors.
#include "soa_services/core/code/lov0706.hxx"

namespace Velmora::Soa::Core::_2007_06 {

class LOVImpl : public LOV {
public:
    LOVImpl() = default;
    LOVImpl(const LOVImpl&) = default;
    LOVImpl& operator=(const LOVImpl&) = default;
    // Tests stand in their own implementation for it.
    virtual ~LOVImpl() = default;

    AttachedLOVsResponse getAttachedLOVs(const std::vector<LOVInfo>& infos) override;
};

}  // namespace Velmora::Soa::Core::_2007_06
