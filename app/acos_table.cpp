// Arc-cosine table filling and lookup.
#include "app/acos_table.h"

#include <cmath>

#include "app/threads.h"

namespace game {

float ACosTable::Entry(int index)
{
    const double cosine = static_cast<double>(index - 1000) / 1000.0;
    return static_cast<float>(std::acos(cosine) * (180.0 / 3.14159265358979323846));
}

int ACosTable::IndexOf(float c)
{
    // Held within [-1, 1]; fmax gives -1 for a NaN.
    c = std::fmin(std::fmax(c, -1.0f), 1.0f);
    return static_cast<int>(1000.0f + c * 1000.0f);
}

void ACosTable::Fill()
{
    for (int i = 0; i < kEntries; ++i) {
        table_[i] = Entry(i);
    }
    // Publishes the entries written above to every thread that sees the flag.
    ready_.store(true, std::memory_order_release);
}

uint32_t ACosTable::FillRoutine(void *table)
{
    static_cast<ACosTable *>(table)->Fill();
    return 0;
}

void ACosTable::StartThread()
{
    if (thread_ != nullptr || Ready()) {
        return;
    }
    thread_ = startThread(FillRoutine, this, 3);
    if (thread_ == nullptr) {
        Fill();
    }
}

void ACosTable::Join()
{
    if (thread_ != nullptr) {
        JoinWorkerThread(thread_);
        thread_ = nullptr;
    }
}

float ACosTable::Lookup(float c) const
{
    const int index = IndexOf(c);
    return Ready() ? table_[index] : Entry(index);
}

}  // namespace game

float CosDeg(float degrees) { return std::cos(degrees * 0.017453292f); }
