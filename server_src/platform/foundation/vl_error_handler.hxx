#pragma once
// Per-item failure callback of platform calls that work on many items at
// once: the call stores the item's error, then tells the handler which item
// failed. The base class's own callbacks do nothing.
#include "tag/tag.hxx"

class VlErrorHandler {
public:
    VlErrorHandler() = default;
    VlErrorHandler(const VlErrorHandler&) = default;
    VlErrorHandler& operator=(const VlErrorHandler&) = default;

    virtual void errorOccured(int /*ifail*/) {}
    virtual void errorOccuredWithTag(int /*ifail*/, const Tag& /*tag*/) {}
    virtual void errorOccuredWithIndex(int /*ifail*/, int /*index*/) {}
    virtual ~VlErrorHandler() = default;
};
