// Reference counting shared by every object of the device: one count per object, the
// object deleted when it reaches zero.
#pragma once

#include "d3d8/d3d8.h"

namespace d3d8 {

template <class Interface>
class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    ~ComObject() override = default;

private:
    ULONG refs_ = 1;
};

}  // namespace d3d8
