// Scripted standard functions for raster and camera tests: every slot logs
// its calls and answers from a per-slot script, installed over the fake
// device's always-succeeding slots.
#pragma once

#include <vector>

#include "rwcore.h"

namespace slottest {

struct SlotCall {
    RwInt32 slot;
    void *out;
    void *inOut;
    RwInt32 number;
};

struct Slots {
    static std::vector<SlotCall> &Log()
    {
        static std::vector<SlotCall> log;
        return log;
    }
    static RwBool *Answers()
    {
        static RwBool answers[rwSTANDARDNUMOFSTANDARD];
        return answers;
    }
    template <int N>
    static RwBool Slot(void *out, void *inOut, RwInt32 number)
    {
        Log().push_back({N, out, inOut, number});
        if (N == rwSTANDARDRASTERCREATE && Answers()[N]) {
            auto *raster = static_cast<RwRaster *>(inOut);
            raster->cType = static_cast<RwUInt8>(number & 7);
            raster->cFlags = static_cast<RwUInt8>(number & 0xF8);
            raster->cFormat = static_cast<RwUInt8>(number >> 8);
            raster->depth = 32;
        }
        if (N == rwSTANDARDRASTERLOCK && Answers()[N]) {
            *static_cast<RwUInt8 **>(out) = reinterpret_cast<RwUInt8 *>(0x1000);
        }
        if (N == rwSTANDARDRASTERGETMIPLEVELS && Answers()[N]) {
            *static_cast<RwInt32 *>(out) = 5;
        }
        return Answers()[N];
    }
    template <int... I>
    static void InstallAll(std::integer_sequence<int, I...>)
    {
        ((RwEngineInst->stdFunc[I] = Slot<I>), ...);
    }
    static void Install()
    {
        Log().clear();
        for (int i = 0; i < rwSTANDARDNUMOFSTANDARD; ++i) Answers()[i] = TRUE;
        InstallAll(std::make_integer_sequence<int, rwSTANDARDNUMOFSTANDARD>{});
    }
    static std::vector<SlotCall> CallsTo(RwInt32 slot)
    {
        std::vector<SlotCall> calls;
        for (const SlotCall &c : Log()) {
            if (c.slot == slot) calls.push_back(c);
        }
        return calls;
    }
};

}  // namespace slottest
