// What a screen of the screen manager is before it is built: a slot that
// keeps its active flag and draws nothing. The screens still to come are
// such slots (each its own class, so that the manager's dispatch and the
// forwards already name them).
#pragma once

#include <cstdint>

struct UIScreenSlot {
    void SetActive(bool on) { active = on; }
    void Update() {}
    void Update(float /*seconds*/) {}
    void Render() {}
    void ReleaseTextures() {}
    void Release() { active = 0; }

    bool active = false;
};
