// The stage's scene under a colour fade at full alpha: the fade is the last
// layer of the frame and covers it whole, so nothing the scene would write
// into the frame can show. The scene's work is all done (its models join the
// world, its events draw, its monsters join the HUD); only its draws into the
// frame are left out by the device.
#pragma once

class CSGameSystem;

// Whether the fade that ends this frame covers all of it, with nothing drawn
// after it (no statistics, no developer menu text, walls or frame) that could
// read the depth the scene would have left. False with --draw-hidden.
bool FadeCoversFrame(const CSGameSystem &gs);

// While it lives, draws into the camera's current target do nothing (with
// --debug a line says so).
class HiddenFrameDraws {
public:
    explicit HiddenFrameDraws(bool hide);
    ~HiddenFrameDraws();
    HiddenFrameDraws(const HiddenFrameDraws &) = delete;
    HiddenFrameDraws &operator=(const HiddenFrameDraws &) = delete;

private:
    bool hiding_ = false;
};
