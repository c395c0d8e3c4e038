// Node animations from user properties (see node_anim_player.h).
#include "fx/node_anim_player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "rpusrdat.h"

bool ParseNodeAnim(const char *text, NodeAnimTrack *track)
{
    if (text == nullptr || std::strncmp(text, "NodeAnim", 8) != 0) {
        return false;
    }
    float v[7];
    char tail = 0;
    if (std::sscanf(text + 8, " %f %f %f %f %f %f %f %c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6],
                    &tail) != 7 ||
        !(v[0] > 0.0f) || v[0] > 1.0e6f) {
        return false;
    }
    track->endFrame = v[0];
    track->turn = {v[1], v[2], v[3]};
    track->move = {v[4], v[5], v[6]};
    return true;
}

namespace {

RwFrame *CollectTracks(RwFrame *frame, void *data)
{
    auto *tracks = static_cast<std::vector<NodeAnimTrack> *>(data);
    for (RwInt32 a = 0; a < RpUserDataFrameGetNumArrays(frame); ++a) {
        const RpUserDataArray *array = RpUserDataFrameGetArray(frame, a);
        if (array == nullptr || RpUserDataArrayGetFormat(array) != rpSTRINGUSERDATA) {
            continue;
        }
        for (RwInt32 i = 0; i < RpUserDataArrayGetNumElements(array); ++i) {
            NodeAnimTrack track = {};
            if (ParseNodeAnim(RpUserDataArrayGetString(array, i), &track)) {
                track.frame = frame;
                track.rest = *RwFrameGetMatrix(frame);
                tracks->push_back(track);
            }
        }
    }
    RwFrameForAllChildren(frame, CollectTracks, data);
    return frame;
}

}  // namespace

bool CSNodeAnimPlayer::Register(RpClump *clump)
{
    if (clump == nullptr) {
        return false;
    }
    Unregister(clump);
    Entry entry = {clump, 0.0f, {}};
    CollectTracks(RpClumpGetFrame(clump), &entry.tracks);
    if (entry.tracks.empty()) {
        return false;
    }
    clumps_.push_back(std::move(entry));
    return true;
}

bool CSNodeAnimPlayer::RegisterWholeClump(RpClump *clump)
{
    if (clump == nullptr) {
        return false;
    }
    Unregister(clump);
    Entry entry = {clump, 0.0f, {}};
    RwFrame *root = RpClumpGetFrame(clump);
    CollectTracks(root, &entry.tracks);
    if (entry.tracks.empty()) {
        return false;
    }
    entry.tracks.resize(1);
    entry.tracks[0].frame = root;
    entry.tracks[0].rest = *RwFrameGetMatrix(root);
    clumps_.push_back(std::move(entry));
    return true;
}

void CSNodeAnimPlayer::Unregister(RpClump *clump)
{
    clumps_.erase(std::remove_if(clumps_.begin(), clumps_.end(), [clump](const Entry &e) { return e.clump == clump; }),
                  clumps_.end());
}

CSNodeAnimPlayer::Entry *CSNodeAnimPlayer::Find(RpClump *clump)
{
    for (Entry &e : clumps_) {
        if (e.clump == clump) {
            return &e;
        }
    }
    return nullptr;
}

const CSNodeAnimPlayer::Entry *CSNodeAnimPlayer::Find(RpClump *clump) const
{
    return const_cast<CSNodeAnimPlayer *>(this)->Find(clump);
}

void CSNodeAnimPlayer::Pose(Entry *entry)
{
    for (NodeAnimTrack &track : entry->tracks) {
        const float t = std::min(entry->frame, track.endFrame) / track.endFrame;
        RwMatrix m = track.rest;
        const RwV3d axes[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
        const float turn[3] = {track.turn.x, track.turn.y, track.turn.z};
        RwFrameTransform(track.frame, &m, rwCOMBINEREPLACE);
        for (int k = 0; k < 3; ++k) {
            if (turn[k] != 0.0f) {
                RwFrameRotate(track.frame, &axes[k], turn[k] * t, rwCOMBINEPRECONCAT);
            }
        }
        const RwV3d move = {track.move.x * t, track.move.y * t, track.move.z * t};
        RwFrameTranslate(track.frame, &move, rwCOMBINEPOSTCONCAT);
    }
}

void CSNodeAnimPlayer::Advance(RpClump *clump, float dt, int32_t mode)
{
    Entry *entry = Find(clump);
    if (entry == nullptr) {
        return;
    }
    float end = 0.0f;
    for (const NodeAnimTrack &track : entry->tracks) {
        end = std::max(end, track.endFrame);
    }
    entry->frame += dt * 60.0f;
    if (entry->frame >= end) {
        entry->frame = mode == kNodeAnimLoop && end > 0.0f ? entry->frame - end * static_cast<float>(
                                                                                      static_cast<int>(entry->frame / end))
                                                          : end;
    }
    Pose(entry);
}

int32_t CSNodeAnimPlayer::IsFinished(RpClump *clump) const
{
    const Entry *entry = Find(clump);
    if (entry == nullptr) {
        return 1;
    }
    for (const NodeAnimTrack &track : entry->tracks) {
        if (entry->frame < track.endFrame) {
            return 0;
        }
    }
    return 1;
}

void CSNodeAnimPlayer::SetTime(RpClump *clump, float frame)
{
    Entry *entry = Find(clump);
    if (entry != nullptr) {
        entry->frame = std::max(0.0f, frame);
        Pose(entry);
    }
}
