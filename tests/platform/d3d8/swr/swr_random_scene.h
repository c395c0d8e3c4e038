// Randomised scenes for the tests that hold two ways of drawing against each other (the
// span routines against the reference path, many threads against one): random
// triangles, in screen space and through a perspective projection, under random draw
// states drawn from what the engine sets, over a handful of textures of different kinds.
// The same seed always gives the same scene.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/d3d8/swr/swr_span_plan.h"
#include "swr_test_scene.h"

namespace swrtest {

struct RandomVertex {
    float x, y, z, w;  // screen x, y, z, rhw (screen space) or x, y, z and unused
    D3DCOLOR diffuse, specular;
    float u, v, u2, v2;  // two coordinate sets: stage 1 reads the second unless told otherwise
};

class RandomScene {
public:
    // `farRows`: the non-power-of-two texture's first level lies in a surface whose rows
    // are more than 2^15 texels apart (as a picture cut from a very wide one would).
    // `shape`, when given, is the sampler shape every sampled stage takes (its choices
    // made, the others left random), with a texture always bound.
    RandomScene(uint32_t width, uint32_t height, uint32_t seed, bool farRows = false,
                const swr::SamplerShape *shape = nullptr)
        : width_(width), height_(height), seed_(seed), shape_(shape) {
        std::mt19937 rng(seed);
        auto chain = [&](TestTexture &t, uint32_t w, uint32_t h) {  // 32-bit levels down to 1x1
            for (;;) {
                std::vector<uint32_t> texels(size_t(w) * h);
                for (uint32_t &v : texels) v = rng();
                t.AddLevel(w, h, texels);
                if (w == 1 && h == 1) break;
                w = std::max(1u, w / 2), h = std::max(1u, h / 2);
            }
        };
        auto bytes = [&](size_t n) {
            std::vector<uint8_t> b(n);
            for (uint8_t &v : b) v = static_cast<uint8_t>(rng());
            return b;
        };
        // 32-bit with a full mip chain: sizes of two's powers and not. Of the two whose
        // sizes are powers of two, one is read where it lies and the other through copies
        // with a spare column and row, by turns from seed to seed.
        chain(argb_, 32, 32);
        chain(xrgb_, 16, 8);
        (seed % 2 ? argb_ : xrgb_).WithoutCopySlots();
        if (farRows) {
            constexpr uint32_t kPitch = (32768 + 24) * 4;
            std::vector<uint8_t> level(size_t(kPitch) * 10);
            for (uint32_t y = 0; y < 10; ++y) {
                for (uint32_t x = 0; x < 24 * 4; ++x) level[size_t(y) * kPitch + x] = static_cast<uint8_t>(rng());
            }
            npot_.AddLevel(24, 10, kPitch, std::move(level));
            chain(npot_, 12, 5);
        } else {
            chain(npot_, 24, 10);
        }
        // The other formats go through 32-bit copies.
        l8_.AddLevel(12, 10, 12, bytes(12 * 10));
        l8_.AddLevel(6, 5, 6, bytes(6 * 5));
        dxt1_.AddLevel(16, 16, 32, bytes(4 * 4 * 8));
        dxt1_.AddLevel(8, 8, 16, bytes(2 * 2 * 8));
        dxt5_.AddLevel(16, 8, 64, bytes(4 * 2 * 16));
        p8_.AddLevel(16, 16, 16, bytes(16 * 16));
        p8_.AddLevel(8, 8, 8, bytes(8 * 8));
        argb4444_.AddLevel(8, 12, 16, bytes(8 * 12 * 2));
        rgb565_.AddLevel(10, 6, 20, bytes(10 * 6 * 2));
        for (PALETTEENTRY &e : palette_) {
            const uint32_t c = rng();
            e = PALETTEENTRY{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
        }
    }

    // Draws `draws` random draw calls of `triangles` triangles each into `s` (through its
    // queue, flushed at the end, when it has one).
    void Render(Scene &s, uint32_t draws, uint32_t triangles) {
        std::mt19937 rng(seed_ * 7919u + 1);
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF202020u);
        for (uint32_t d = 0; d < draws; ++d) {
            const bool screenSpace = Pick(rng, 2) == 0;
            RandomState(s, rng, screenSpace);
            std::vector<RandomVertex> v;
            for (uint32_t i = 0; i < 3 * triangles; ++i) v.push_back(screenSpace ? ScreenVertex(rng) : WorldVertex(rng));
            // Every third draw in screen space is of pictures: rectangles square to the
            // screen whose coordinates run along its axes, as the interface draws them
            // (not in scenes held to one sampler shape, which are about the sampling).
            if (screenSpace && d % 3 == 1 && !shape_) Pictures(v);
            const DWORD position = screenSpace ? D3DFVF_XYZRHW : D3DFVF_XYZ;
            const DWORD fvf = position | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
            if (screenSpace) {
                s.Draw(D3DPT_TRIANGLELIST, v, triangles, fvf);
            } else {
                // Transformed vertices have no rhw: the stride keeps the layout, the
                // format just reads three position floats and skips one.
                std::vector<uint8_t> bytes;
                for (const RandomVertex &rv : v) {
                    const float pos[3] = {rv.x, rv.y, rv.z};
                    const uint8_t *p = reinterpret_cast<const uint8_t *>(pos);
                    bytes.insert(bytes.end(), p, p + 12);
                    const uint8_t *rest = reinterpret_cast<const uint8_t *>(&rv.diffuse);
                    bytes.insert(bytes.end(), rest, rest + 24);
                }
                GuardedBytes guarded(bytes.data(), bytes.size());
                const swr::VertexStream stream{guarded.data(), guarded.size(), 36, fvf};
                s.DrawStream(D3DPT_TRIANGLELIST, stream, triangles);
            }
        }
        s.Settle();
    }

    // Draws `draws` draws of `triangles` triangles each as the screen's bent pictures are
    // drawn (the stage change's wobbling grid): in screen space without perspective (one
    // 1/w a draw), one colour a draw, one stage filtering a texture linearly without a
    // level choice, clamped or wrapped, at coordinates that follow the screen with a
    // wobble (now and then anywhere), without depth test, fog or alpha test; blending
    // and the channel mask random, and now and then a state that leaves such a picture
    // to the general rows.
    void RenderBent(Scene &s, uint32_t draws, uint32_t triangles) {
        std::mt19937 rng(seed_ * 104729u + 7);
        // One large level, for pictures shrunk from it.
        std::vector<uint32_t> large(128 * 128);
        for (uint32_t &v : large) v = rng();
        large_ = TestTexture(D3DFMT_A8R8G8B8);
        large_.AddLevel(128, 128, large);
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF202020u);
        for (uint32_t d = 0; d < draws; ++d) {
            BentState(s, rng);
            // Now and then a large texture shrunk to about two texels a pixel.
            const bool shrunk = Pick(rng, 3) == 0;
            const float scale = shrunk ? Uniform(rng, 0.8f, 1.1f) : 1.0f;
            if (shrunk) s.state.textures[0] = large_.View();
            const float rhw = Uniform(rng, 0.2f, 2.0f), z = Uniform(rng, 0, 1);
            const D3DCOLOR colours[] = {0xFFFFFFFFu, 0x80FFFFFFu, static_cast<D3DCOLOR>(rng())};
            const D3DCOLOR colour = colours[Pick(rng, 3)];
            const bool anywhere = Pick(rng, 4) == 0;
            const float wobble = Uniform(rng, 0.0f, 0.2f);
            std::vector<RandomVertex> v;
            for (uint32_t i = 0; i < 3 * triangles; ++i) {
                RandomVertex r = ScreenVertex(rng);
                r.z = z, r.w = rhw, r.diffuse = colour;
                if (!anywhere) {
                    r.u = r.x / static_cast<float>(width_) * scale + Uniform(rng, -wobble, wobble);
                    r.v = r.y / static_cast<float>(height_) * scale + Uniform(rng, -wobble, wobble);
                }
                v.push_back(r);
            }
            s.Draw(D3DPT_TRIANGLELIST, v, triangles, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
        }
        s.Settle();
    }

    // Draws `draws` draws of `triangles` slivers each, as a crowd's limbs are drawn: tall
    // triangles a few pixels to some dozens across (now and then a flat one as wide as
    // the target), reaching past the target's edges now and then, in screen space with a
    // different 1/w at each corner, under random states.
    void RenderSlivers(Scene &s, uint32_t draws, uint32_t triangles) {
        std::mt19937 rng(seed_ * 2750159u + 3);
        const float w = static_cast<float>(width_), h = static_cast<float>(height_);
        RenderScreenTriangles(s, rng, draws, triangles, [&](float corners[3][2]) {
            const bool flat = Pick(rng, 6) == 0;
            const float across = flat ? Uniform(rng, 40.0f, w + 16.0f) : Uniform(rng, 0.5f, 80.0f);
            const float tall = flat ? Uniform(rng, 1.0f, 12.0f) : Uniform(rng, 4.0f, h + 16.0f);
            const float x = Uniform(rng, -8.0f, w + 8.0f - across), y = Uniform(rng, -8.0f, h + 8.0f - tall);
            corners[0][0] = x + Uniform(rng, 0.0f, across), corners[0][1] = y;
            corners[1][0] = x, corners[1][1] = y + Uniform(rng, 0.0f, tall);
            corners[2][0] = x + across, corners[2][1] = y + tall;
        });
    }

    // Draws `draws` draws of `triangles` triangles each at the target's left and right
    // edges, as a crowd's models are drawn where they walk off the screen: tall triangles
    // a few pixels to over a hundred across, lying wholly past the edge, or reaching
    // none, one or a few columns in, in screen space with a different 1/w at each corner,
    // under random states.
    void RenderBeside(Scene &s, uint32_t draws, uint32_t triangles) {
        std::mt19937 rng(seed_ * 1299709u + 5);
        const float w = static_cast<float>(width_), h = static_cast<float>(height_);
        RenderScreenTriangles(s, rng, draws, triangles, [&](float corners[3][2]) {
            const float across = Pick(rng, 4) == 0 ? Uniform(rng, 64.0f, 160.0f) : Uniform(rng, 0.5f, 24.0f);
            const float tall = Uniform(rng, 4.0f, h + 16.0f);
            // The edge nearest the target a little inside its first or last column, or
            // past it.
            const bool left = Pick(rng, 2) == 0;
            const float x = left ? Uniform(rng, -4.0f, 2.5f) - across : Uniform(rng, w - 3.5f, w + 3.0f);
            const float y = Uniform(rng, -8.0f, h + 8.0f - tall);
            corners[0][0] = x + Uniform(rng, 0.0f, across), corners[0][1] = y;
            corners[1][0] = left ? x + across : x, corners[1][1] = y + Uniform(rng, 0.0f, tall);
            corners[2][0] = left ? x : x + across, corners[2][1] = y + tall;
        });
    }

    // Draws `draws` draws of `triangles` triangles each in screen space, over a cleared
    // target, each draw under random states; `place` gives each triangle's corners (x, y),
    // and every corner takes a random 1/w, colours and texture coordinates.
    template <class Place>
    void RenderScreenTriangles(Scene &s, std::mt19937 &rng, uint32_t draws, uint32_t triangles, Place place) {
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF202020u);
        for (uint32_t d = 0; d < draws; ++d) {
            RandomState(s, rng, true);
            std::vector<RandomVertex> v;
            for (uint32_t t = 0; t < triangles; ++t) {
                float corners[3][2];
                place(corners);
                for (const auto &c : corners) {
                    RandomVertex r = ScreenVertex(rng);
                    r.x = c[0], r.y = c[1];
                    v.push_back(r);
                }
            }
            s.Draw(D3DPT_TRIANGLELIST, v, triangles, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
        }
        s.Settle();
    }

    // Draws `draws` draws of a ground through a perspective projection, as a stage's floor
    // and walls are drawn: a grid of `cells` by `cells` squares, two triangles each, a
    // few pixels' rows long or across the whole target, bumped up and down, their
    // corners lit in different colours, textured (mostly wrapped) and mostly tested for
    // depth. The stage gives each channel the texel times the diffuse colour, the texel
    // or the diffuse colour; filters, addressing, depth, stencil, vertex fog, blending
    // and the channel mask random, and now and then a state (alpha test, table fog, a
    // stage of another kind) that leaves such a ground to the general rows.
    // `farAlong`: most draws' texture coordinates moved far along the texture (up to
    // 2e10 texels), where the sampler's floors and fractions have to be pinned.
    void RenderGround(Scene &s, uint32_t draws, uint32_t cells, bool farAlong = false) {
        std::mt19937 rng(seed_ * 15485863u + 11);
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF202020u);
        for (uint32_t d = 0; d < draws; ++d) {
            GroundState(s, rng);
            // A floor below the eye or a wall across it, reaching from near to far.
            const bool wall = Pick(rng, 4) == 0;
            const float level = Uniform(rng, -1.5f, -0.3f), reach = Uniform(rng, 1.0f, 14.0f);
            const float near = Uniform(rng, 0.6f, 3.0f), far = near + Uniform(rng, 2.0f, 12.0f);
            const float texels = Uniform(rng, 0.5f, 6.0f), du = Uniform(rng, -4.0f, 4.0f), dv = Uniform(rng, -4.0f, 4.0f);
            const float shifts[] = {0.0f, 3e5f, -5e6f, 1e9f, -2e10f, 7e3f};
            const float shift = farAlong ? shifts[d % 6] : 0.0f;
            std::vector<RandomVertex> grid;
            for (uint32_t j = 0; j <= cells; ++j) {
                for (uint32_t i = 0; i <= cells; ++i) {
                    const float a = static_cast<float>(i) / static_cast<float>(cells);
                    const float b = static_cast<float>(j) / static_cast<float>(cells);
                    const float bump = Uniform(rng, -0.15f, 0.15f);
                    RandomVertex v{};
                    v.x = (a * 2.0f - 1.0f) * reach;
                    v.z = near + (far - near) * b;
                    v.y = wall ? (b * 2.0f - 1.0f) * reach : level + bump;
                    if (wall) v.z = near + (far - near) * 0.5f + bump;
                    v.diffuse = static_cast<D3DCOLOR>(rng());
                    v.specular = static_cast<D3DCOLOR>(rng());
                    v.u = a * texels * 4.0f + du + shift, v.v = b * texels * 4.0f + dv - shift;
                    v.u2 = v.u * 0.5f, v.v2 = v.v * 0.5f;
                    grid.push_back(v);
                }
            }
            std::vector<RandomVertex> v;
            const uint32_t row = cells + 1;
            for (uint32_t j = 0; j < cells; ++j) {
                for (uint32_t i = 0; i < cells; ++i) {
                    const uint32_t k = j * row + i;
                    for (uint32_t c : {k, k + 1, k + row, k + 1, k + row + 1, k + row}) v.push_back(grid[c]);
                }
            }
            std::vector<uint8_t> bytes;
            for (const RandomVertex &rv : v) {
                const float pos[3] = {rv.x, rv.y, rv.z};
                const uint8_t *p = reinterpret_cast<const uint8_t *>(pos);
                bytes.insert(bytes.end(), p, p + 12);
                const uint8_t *rest = reinterpret_cast<const uint8_t *>(&rv.diffuse);
                bytes.insert(bytes.end(), rest, rest + 24);
            }
            GuardedBytes guarded(bytes.data(), bytes.size());
            const DWORD fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;
            const swr::VertexStream stream{guarded.data(), guarded.size(), 36, fvf};
            s.DrawStream(D3DPT_TRIANGLELIST, stream, 2 * cells * cells);
        }
        s.Settle();
    }

    // Draws `draws` draws of `triangles` small triangles in screen space under random
    // states, their texture coordinates near and beyond where the sampler's floors have
    // to be pinned (2^30 texels): each triangle's corners at about one of a few
    // magnitudes of either sign, on both sides of it across the triangle; now and then of opposite signs
    // so large that the planes between them overflow (NaN at some pixels), or with a
    // corner's 1/w near zero.
    void RenderFarCoords(Scene &s, uint32_t draws, uint32_t triangles) {
        std::mt19937 rng(seed_ * 104729u + 7);
        s.ClearDepthStencil(1.0f, 0);
        s.FillPixels(0xFF202020u);
        const float magnitudes[] = {1.0f, 0x1p20f, 0x1p23f, 0x1p24f, 0x1p25f, 0x1p26f, 0x1p29f, 0x1p31f, 3e38f};
        constexpr uint32_t kMagnitudes = sizeof(magnitudes) / sizeof(magnitudes[0]);
        for (uint32_t d = 0; d < draws; ++d) {
            RandomState(s, rng, true);
            std::vector<RandomVertex> v;
            for (uint32_t t = 0; t < triangles; ++t) {
                const float cx = Uniform(rng, 0, float(width_)), cy = Uniform(rng, 0, float(height_));
                const float m = magnitudes[Pick(rng, kMagnitudes)] * (Pick(rng, 2) ? 1.0f : -1.0f);
                const bool mixed = Pick(rng, 4) == 0, faint = Pick(rng, 4) == 0;
                for (uint32_t i = 0; i < 3; ++i) {
                    RandomVertex c = ScreenVertex(rng);
                    c.x = cx + Uniform(rng, -12.0f, 12.0f), c.y = cy + Uniform(rng, -12.0f, 12.0f);
                    const float sign = mixed && i == 1 ? -1.0f : 1.0f;
                    c.u = sign * m * Uniform(rng, 0.9f, 1.1f), c.v = m * Uniform(rng, 0.9f, 1.1f);
                    c.u2 = c.v, c.v2 = sign * c.u;
                    if (faint && i == 2) c.w = 1e-30f;
                    v.push_back(c);
                }
            }
            s.Draw(D3DPT_TRIANGLELIST, v, triangles, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
        }
        s.Settle();
    }

private:
    static uint32_t Pick(std::mt19937 &rng, uint32_t n) { return rng() % n; }
    static float Uniform(std::mt19937 &rng, float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(rng() & 0xFFFFFF) / static_cast<float>(0x1000000);
    }

    RandomVertex ScreenVertex(std::mt19937 &rng) const {
        return RandomVertex{Uniform(rng, -8, float(width_) + 8), Uniform(rng, -8, float(height_) + 8), Uniform(rng, 0, 1),
                            Uniform(rng, 0.2f, 2.0f), static_cast<D3DCOLOR>(rng()), static_cast<D3DCOLOR>(rng()),
                            Uniform(rng, -1.5f, 2.5f), Uniform(rng, -1.5f, 2.5f), Uniform(rng, -3.0f, 4.0f),
                            Uniform(rng, -3.0f, 4.0f)};
    }

    // Each pair of triangles made one rectangle, from the corners and coordinates of the
    // pair's first two vertices (one depth and rhw throughout); every other rectangle in
    // one colour, as most of the interface's are.
    static void Pictures(std::vector<RandomVertex> &v) {
        for (size_t t = 0; t + 6 <= v.size(); t += 6) {
            if (t / 6 % 2 == 1) {
                for (size_t k = t + 1; k < t + 4; ++k) v[k].diffuse = v[t].diffuse, v[k].specular = v[t].specular;
            }
            const RandomVertex a = v[t], b = v[t + 1];
            auto corner = [&](bool right, bool down, const RandomVertex &colours) {
                RandomVertex c = colours;
                c.x = right ? b.x : a.x, c.y = down ? b.y : a.y, c.z = a.z, c.w = a.w;
                c.u = right ? b.u : a.u, c.v = down ? b.v : a.v;
                c.u2 = right ? b.u2 : a.u2, c.v2 = down ? b.v2 : a.v2;
                return c;
            };
            const RandomVertex tl = corner(false, false, v[t]), tr = corner(true, false, v[t + 1]),
                               bl = corner(false, true, v[t + 2]), br = corner(true, true, v[t + 3]);
            v[t] = tl, v[t + 1] = tr, v[t + 2] = bl, v[t + 3] = tr, v[t + 4] = br, v[t + 5] = bl;
        }
    }

    RandomVertex WorldVertex(std::mt19937 &rng) const {
        const float z = Uniform(rng, 0.5f, 12.0f);
        return RandomVertex{Uniform(rng, -1.2f, 1.2f) * z, Uniform(rng, -1.2f, 1.2f) * z, z, 0,
                            static_cast<D3DCOLOR>(rng()), static_cast<D3DCOLOR>(rng()), Uniform(rng, -1.5f, 2.5f),
                            Uniform(rng, -1.5f, 2.5f), Uniform(rng, -3.0f, 4.0f), Uniform(rng, -3.0f, 4.0f)};
    }

    void RandomState(Scene &s, std::mt19937 &rng, bool screenSpace) {
        swr::DrawState &st = s.state;
        swr::SetDefaultStates(st, s.depth.bits != nullptr);
        st.viewport = D3DVIEWPORT8{0, 0, width_, height_, 0.0f, 1.0f};
        st.projection = PerspectiveMatrix(1.0f, 10.0f);
        DWORD *rs = st.renderStates;
        rs[D3DRS_LIGHTING] = FALSE;
        rs[D3DRS_CULLMODE] = D3DCULL_NONE;
        rs[D3DRS_TEXTUREFACTOR] = rng();
        rs[D3DRS_SHADEMODE] = Pick(rng, 4) == 0 ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
        const DWORD zfuncs[] = {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_ALWAYS, D3DCMP_GREATER};
        rs[D3DRS_ZFUNC] = zfuncs[Pick(rng, 4)];
        rs[D3DRS_ZWRITEENABLE] = Pick(rng, 4) != 0;
        rs[D3DRS_ZENABLE] = Pick(rng, 6) != 0;
        if (Pick(rng, 5) == 0) {
            rs[D3DRS_STENCILENABLE] = TRUE;
            rs[D3DRS_STENCILFUNC] = D3DCMP_LESSEQUAL;
            rs[D3DRS_STENCILREF] = Pick(rng, 3);
            rs[D3DRS_STENCILPASS] = D3DSTENCILOP_INCR;
        }
        if (Pick(rng, 3) == 0) {
            rs[D3DRS_ALPHABLENDENABLE] = TRUE;
            const bool additive = Pick(rng, 3) == 0;
            rs[D3DRS_SRCBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA;
            rs[D3DRS_DESTBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
        }
        if (Pick(rng, 4) == 0) {
            rs[D3DRS_ALPHATESTENABLE] = TRUE;
            rs[D3DRS_ALPHAFUNC] = Pick(rng, 2) ? D3DCMP_GREATER : D3DCMP_LESSEQUAL;
            rs[D3DRS_ALPHAREF] = Pick(rng, 256);
        }
        if (Pick(rng, 8) == 0) rs[D3DRS_COLORWRITEENABLE] = 1 + Pick(rng, 15);
        if (Pick(rng, 8) == 0) rs[D3DRS_SPECULARENABLE] = TRUE;
        switch (Pick(rng, 4)) {
            case 1:
                rs[D3DRS_FOGENABLE] = TRUE;
                rs[D3DRS_FOGVERTEXMODE] = screenSpace ? D3DFOG_NONE : D3DFOG_LINEAR;  // screen space: specular alpha
                break;
            case 2:
            case 3:
                rs[D3DRS_FOGENABLE] = TRUE;
                rs[D3DRS_FOGTABLEMODE] = Pick(rng, 2) ? D3DFOG_LINEAR : D3DFOG_EXP;
                break;
            default: break;
        }
        rs[D3DRS_FOGCOLOR] = rng();
        rs[D3DRS_FOGSTART] = FloatBits(screenSpace ? 0.5f : 2.0f);
        rs[D3DRS_FOGEND] = FloatBits(screenSpace ? 3.0f : 10.0f);
        // Now and then fog that starts where it ends (a step), told by the colour's top
        // bits so that the draws after it stay as they were.
        if ((rs[D3DRS_FOGCOLOR] >> 29) == 0) rs[D3DRS_FOGEND] = rs[D3DRS_FOGSTART];
        rs[D3DRS_FOGDENSITY] = FloatBits(0.3f);

        // Stage 0 mostly as the engine sets it; now and then any operation and argument
        // (the span routines take most; a dot product or a bump operation sends the draw
        // to the general path). A second stage half the time, often textured.
        RandomStage(s, rng, 0);
        if (Pick(rng, 2) == 0) {
            RandomStage(s, rng, 1);
            if (Pick(rng, 2) == 0) st.stageStates[1][D3DTSS_TEXCOORDINDEX] = 0;
            if (Pick(rng, 6) == 0) st.stageStates[0][D3DTSS_RESULTARG] = D3DTA_TEMP;
        }
        if (Pick(rng, 3) == 0) {
            const DWORD factors[] = {D3DBLEND_ZERO,        D3DBLEND_ONE,          D3DBLEND_SRCCOLOR,    D3DBLEND_INVSRCCOLOR,
                                     D3DBLEND_SRCALPHA,    D3DBLEND_INVSRCALPHA,  D3DBLEND_DESTALPHA,   D3DBLEND_INVDESTALPHA,
                                     D3DBLEND_DESTCOLOR,   D3DBLEND_INVDESTCOLOR, D3DBLEND_SRCALPHASAT, D3DBLEND_BOTHSRCALPHA,
                                     D3DBLEND_BOTHINVSRCALPHA};
            const DWORD blendOps[] = {D3DBLENDOP_ADD, D3DBLENDOP_SUBTRACT, D3DBLENDOP_REVSUBTRACT, D3DBLENDOP_MIN,
                                      D3DBLENDOP_MAX};
            rs[D3DRS_ALPHABLENDENABLE] = TRUE;
            rs[D3DRS_SRCBLEND] = factors[Pick(rng, 13)];
            rs[D3DRS_DESTBLEND] = factors[Pick(rng, 13)];
            rs[D3DRS_BLENDOP] = blendOps[Pick(rng, 5)];
        }
    }

    void BentState(Scene &s, std::mt19937 &rng) {
        swr::DrawState &st = s.state;
        swr::SetDefaultStates(st, s.depth.bits != nullptr);
        st.viewport = D3DVIEWPORT8{0, 0, width_, height_, 0.0f, 1.0f};
        DWORD *rs = st.renderStates;
        rs[D3DRS_LIGHTING] = FALSE;
        rs[D3DRS_CULLMODE] = D3DCULL_NONE;
        rs[D3DRS_TEXTUREFACTOR] = rng();
        rs[D3DRS_SHADEMODE] = Pick(rng, 4) == 0 ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
        rs[D3DRS_ZENABLE] = Pick(rng, 8) == 0;
        rs[D3DRS_ZWRITEENABLE] = FALSE;
        if (Pick(rng, 3) == 0) {
            rs[D3DRS_ALPHABLENDENABLE] = TRUE;
            const bool additive = Pick(rng, 3) == 0;
            rs[D3DRS_SRCBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA;
            rs[D3DRS_DESTBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
        }
        if (Pick(rng, 8) == 0) rs[D3DRS_COLORWRITEENABLE] = 1 + Pick(rng, 15);
        if (Pick(rng, 8) == 0) {
            rs[D3DRS_FOGENABLE] = TRUE;
            rs[D3DRS_FOGTABLEMODE] = D3DFOG_LINEAR;
        }
        DWORD *ts = st.stageStates[0];
        const DWORD colorOps[][3] = {{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                     {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                     {D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TFACTOR},
                                     {D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE}};
        const DWORD alphaOps[][3] = {{D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE},
                                     {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                     {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                     {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE}};
        const DWORD *c = colorOps[Pick(rng, 4)], *a = alphaOps[Pick(rng, 4)];
        ts[D3DTSS_COLOROP] = c[0], ts[D3DTSS_COLORARG1] = c[1], ts[D3DTSS_COLORARG2] = c[2];
        ts[D3DTSS_ALPHAOP] = a[0], ts[D3DTSS_ALPHAARG1] = a[1], ts[D3DTSS_ALPHAARG2] = a[2];
        ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = D3DTEXF_LINEAR;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = Pick(rng, 2) ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
        // Sizes of two's powers, and one that is not (which wraps only on the general rows).
        TestTexture *textures[] = {&argb_, &xrgb_, &npot_};
        st.textures[0] = textures[Pick(rng, 3)]->View();
    }

    void GroundState(Scene &s, std::mt19937 &rng) {
        swr::DrawState &st = s.state;
        swr::SetDefaultStates(st, s.depth.bits != nullptr);
        st.viewport = D3DVIEWPORT8{0, 0, width_, height_, 0.0f, 1.0f};
        st.projection = PerspectiveMatrix(0.5f, 20.0f);
        DWORD *rs = st.renderStates;
        rs[D3DRS_LIGHTING] = FALSE;
        rs[D3DRS_CULLMODE] = D3DCULL_NONE;
        rs[D3DRS_TEXTUREFACTOR] = rng();
        rs[D3DRS_SHADEMODE] = Pick(rng, 5) == 0 ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
        const DWORD zfuncs[] = {D3DCMP_LESSEQUAL, D3DCMP_LESS, D3DCMP_ALWAYS, D3DCMP_GREATER, D3DCMP_LESSEQUAL};
        rs[D3DRS_ZFUNC] = zfuncs[Pick(rng, 5)];
        rs[D3DRS_ZWRITEENABLE] = Pick(rng, 5) != 0;
        rs[D3DRS_ZENABLE] = Pick(rng, 8) != 0;
        if (Pick(rng, 8) == 0) {
            rs[D3DRS_STENCILENABLE] = TRUE;
            rs[D3DRS_STENCILFUNC] = D3DCMP_LESSEQUAL;
            rs[D3DRS_STENCILREF] = Pick(rng, 3);
            rs[D3DRS_STENCILPASS] = D3DSTENCILOP_INCR;
        }
        if (Pick(rng, 4) == 0) {
            rs[D3DRS_ALPHABLENDENABLE] = TRUE;
            const bool additive = Pick(rng, 3) == 0;
            rs[D3DRS_SRCBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA;
            rs[D3DRS_DESTBLEND] = additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
        }
        if (Pick(rng, 10) == 0) {
            rs[D3DRS_ALPHATESTENABLE] = TRUE;
            rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
            rs[D3DRS_ALPHAREF] = Pick(rng, 256);
        }
        if (Pick(rng, 8) == 0) rs[D3DRS_COLORWRITEENABLE] = 1 + Pick(rng, 15);
        switch (Pick(rng, 8)) {
            case 1:
            case 2:
            case 3:
                rs[D3DRS_FOGENABLE] = TRUE;
                rs[D3DRS_FOGVERTEXMODE] = D3DFOG_LINEAR;
                break;
            case 4:
                rs[D3DRS_FOGENABLE] = TRUE;
                rs[D3DRS_FOGTABLEMODE] = D3DFOG_LINEAR;
                break;
            default: break;
        }
        rs[D3DRS_FOGCOLOR] = rng();
        rs[D3DRS_FOGSTART] = FloatBits(Uniform(rng, 0.5f, 4.0f));
        rs[D3DRS_FOGEND] = FloatBits(Uniform(rng, 5.0f, 14.0f));
        DWORD *ts = st.stageStates[0];
        ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
        if (Pick(rng, 4) == 0) ts[D3DTSS_COLORARG1] = D3DTA_DIFFUSE, ts[D3DTSS_COLORARG2] = D3DTA_TEXTURE;
        if (Pick(rng, 8) == 0) ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
        if (Pick(rng, 12) == 0) ts[D3DTSS_COLOROP] = D3DTOP_ADD;
        const DWORD alphas[][3] = {{D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                   {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE},
                                   {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE},
                                   {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT},
                                   {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE}};
        const DWORD *a = alphas[Pick(rng, 5)];
        ts[D3DTSS_ALPHAOP] = a[0], ts[D3DTSS_ALPHAARG1] = a[1], ts[D3DTSS_ALPHAARG2] = a[2];
        const DWORD filters[] = {D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTEXF_LINEAR};
        const DWORD mips[] = {D3DTEXF_NONE, D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR};
        const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR,
                               D3DTADDRESS_BORDER};
        ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = filters[Pick(rng, 3)];
        if (Pick(rng, 6) == 0) ts[D3DTSS_MINFILTER] = filters[Pick(rng, 3)];
        ts[D3DTSS_MIPFILTER] = mips[Pick(rng, 4)];
        ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = modes[Pick(rng, 5)];
        if (Pick(rng, 6) == 0) ts[D3DTSS_ADDRESSV] = modes[Pick(rng, 5)];
        ts[D3DTSS_BORDERCOLOR] = rng();
        if (Pick(rng, 6) == 0) ts[D3DTSS_MIPMAPLODBIAS] = FloatBits(Uniform(rng, -1.0f, 1.0f));
        if (Pick(rng, 8) == 0) ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2 | D3DTTFF_PROJECTED;
        // Mostly 32-bit textures read where they lie, now and then through a copy.
        TestTexture *textures[] = {&argb_, &xrgb_, &argb_, &xrgb_, &npot_, &dxt1_, &p8_};
        const uint32_t pick = Pick(rng, 7);
        st.textures[0] = textures[pick]->View();
        if (textures[pick] == &p8_) st.palette = palette_;
    }

    void RandomStage(Scene &s, std::mt19937 &rng, uint32_t stage) {
        swr::DrawState &st = s.state;
        DWORD *ts = st.stageStates[stage];
        const DWORD common[] = {D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_ADD};
        const DWORD any[] = {D3DTOP_MODULATE2X,
                             D3DTOP_MODULATE4X,
                             D3DTOP_ADDSIGNED,
                             D3DTOP_ADDSIGNED2X,
                             D3DTOP_SUBTRACT,
                             D3DTOP_ADDSMOOTH,
                             D3DTOP_BLENDDIFFUSEALPHA,
                             D3DTOP_BLENDTEXTUREALPHA,
                             D3DTOP_BLENDFACTORALPHA,
                             D3DTOP_BLENDTEXTUREALPHAPM,
                             D3DTOP_BLENDCURRENTALPHA,
                             D3DTOP_MODULATEALPHA_ADDCOLOR,
                             D3DTOP_MODULATECOLOR_ADDALPHA,
                             D3DTOP_MODULATEINVALPHA_ADDCOLOR,
                             D3DTOP_MODULATEINVCOLOR_ADDALPHA,
                             D3DTOP_MULTIPLYADD,
                             D3DTOP_LERP,
                             D3DTOP_DOTPRODUCT3,
                             D3DTOP_PREMODULATE};
        auto op = [&] { return Pick(rng, 3) == 0 ? any[Pick(rng, 19)] : common[Pick(rng, 4)]; };
        const DWORD args[] = {D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_SPECULAR, D3DTA_TEMP};
        auto arg = [&] {
            DWORD a = args[Pick(rng, Pick(rng, 4) == 0 ? 6 : 4)];
            if (Pick(rng, 8) == 0) a |= D3DTA_COMPLEMENT;
            if (Pick(rng, 8) == 0) a |= D3DTA_ALPHAREPLICATE;
            return a;
        };
        ts[D3DTSS_COLOROP] = op();
        ts[D3DTSS_COLORARG0] = arg();
        ts[D3DTSS_COLORARG1] = arg();
        ts[D3DTSS_COLORARG2] = arg();
        const DWORD alphaOps[] = {D3DTOP_DISABLE, D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE};
        ts[D3DTSS_ALPHAOP] = Pick(rng, 4) == 0 ? op() : alphaOps[Pick(rng, 4)];
        ts[D3DTSS_ALPHAARG0] = arg();
        ts[D3DTSS_ALPHAARG1] = arg();
        ts[D3DTSS_ALPHAARG2] = arg();
        const DWORD filters[] = {D3DTEXF_POINT, D3DTEXF_LINEAR};
        const DWORD mips[] = {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR};
        const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR, D3DTADDRESS_BORDER,
                               D3DTADDRESS_MIRRORONCE};
        ts[D3DTSS_MAGFILTER] = filters[Pick(rng, 2)];
        ts[D3DTSS_MINFILTER] = filters[Pick(rng, 2)];
        ts[D3DTSS_MIPFILTER] = mips[Pick(rng, 3)];
        ts[D3DTSS_ADDRESSU] = modes[Pick(rng, Pick(rng, 2) == 0 ? 5 : 2)];
        ts[D3DTSS_ADDRESSV] = modes[Pick(rng, Pick(rng, 2) == 0 ? 5 : 2)];
        if (Pick(rng, 2) == 0) {
            // One filter and one address mode throughout, as most materials set them
            // (the span routines are compiled for such samplers).
            ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER];
            ts[D3DTSS_ADDRESSV] = ts[D3DTSS_ADDRESSU];
        }
        ts[D3DTSS_BORDERCOLOR] = rng();
        if (stage == 0 && ts[D3DTSS_BORDERCOLOR] % 4 == 0) {
            // A quarter of the first stages are the engine's commonest: the texture times
            // the diffuse colour, alpha the texture's, the product too or the diffuse
            // colour's (told by the border colour's low bits, so that the draws after it
            // stay as they were).
            ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
            ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
            ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
            const DWORD alphaOps[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE, D3DTOP_SELECTARG2, D3DTOP_DISABLE};
            ts[D3DTSS_ALPHAOP] = alphaOps[ts[D3DTSS_BORDERCOLOR] / 4 % 4];
            ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
            ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
        }
        if (Pick(rng, 4) == 0) ts[D3DTSS_MIPMAPLODBIAS] = FloatBits(Uniform(rng, -1.0f, 1.0f));
        if (Pick(rng, 6) == 0) ts[D3DTSS_MAXMIPLEVEL] = Pick(rng, 3);
        if (Pick(rng, 8) == 0) ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2 | D3DTTFF_PROJECTED;
        TestTexture *textures[] = {&argb_, &xrgb_, &npot_, &l8_, &dxt1_, &dxt5_, &p8_, &argb4444_, &rgb565_};
        uint32_t pick = Pick(rng, 11);
        if (shape_) pick = ApplyShape(ts, pick);
        if (pick < 9) {  // else no texture: reads white
            st.textures[stage] = textures[pick]->View();
            if (textures[pick] == &p8_) st.palette = palette_;
        }
    }

    // Gives a stage the choices of shape_; returns the texture to bind (one whose sizes
    // are powers of two where the shape wraps them).
    uint32_t ApplyShape(DWORD *ts, uint32_t pick) const {
        const swr::SamplerShape &k = *shape_;
        if (k.mip >= 0) ts[D3DTSS_MIPFILTER] = static_cast<DWORD>(k.mip);
        if (k.linear >= 0) ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = k.linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        if (k.address >= 0) {
            const bool wrap = k.address == static_cast<int8_t>(swr::SpanAddress::WrapPow2);
            ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = wrap ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
            if (wrap) {
                const uint32_t powerOfTwo[] = {0, 1, 4, 5, 6};  // argb_, xrgb_, dxt1_, dxt5_, p8_
                return powerOfTwo[pick % 5];
            }
        }
        return pick % 9;
    }

    uint32_t width_, height_, seed_;
    const swr::SamplerShape *shape_;
    TestTexture argb_{D3DFMT_A8R8G8B8}, xrgb_{D3DFMT_X8R8G8B8}, npot_{D3DFMT_A8R8G8B8}, l8_{D3DFMT_L8},
        dxt1_{D3DFMT_DXT1}, dxt5_{D3DFMT_DXT5}, p8_{D3DFMT_P8}, argb4444_{D3DFMT_A4R4G4B4}, rgb565_{D3DFMT_R5G6B5},
        large_{D3DFMT_A8R8G8B8};
    PALETTEENTRY palette_[256];
};

// Everything a scene left behind: colour and depth/stencil words.
inline std::vector<uint32_t> Snapshot(const Scene &s) {
    std::vector<uint32_t> out;
    for (uint32_t y = 0; y < s.color.height; ++y) {
        for (uint32_t x = 0; x < s.color.width; ++x) {
            out.push_back(s.Pixel(int32_t(x), int32_t(y)));
            out.push_back(s.DepthWord(int32_t(x), int32_t(y)));
        }
    }
    return out;
}

}  // namespace swrtest
