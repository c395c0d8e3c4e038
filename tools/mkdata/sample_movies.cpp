// The sample event movies (see sample_movies.h).
#include "tools/mkdata/sample_movies.h"

#include <filesystem>

#include "tools/media/movie_clip.h"

namespace mkdata {

namespace {

EventTableEntry CircleEntry(int32_t id, const char *label, const RwV3d &centre, float radius)
{
    EventTableEntry e;
    e.eventId = id;
    e.label = label;
    e.circleCentre = centre;
    e.position = centre;
    e.radius = radius;
    return e;
}

}  // namespace

std::vector<EventTableEntry> SampleMovieEntries()
{
    return {CircleEntry(kSampleBossMovie, "BOSS_MOVIE", kBossMovieAt, kBossMovieRadius)};
}

bool WriteSampleEventMovies(const std::string &root)
{
    namespace fs = std::filesystem;
    media::ClipDesc clip;
    clip.durationMs = kSampleEventMovieMs;
    clip.segmentMs = kSampleEventMovieMs / 4;
    clip.toneHz = 523.0;
    std::string message;
    for (const char *folder : {"ENGEVTMV", "CHIEVTMV"}) {
        std::error_code error;
        fs::create_directories(fs::path(root) / folder, error);
        if (error) {
            return false;
        }
        for (const char *name : {"0801.BIK", "3702.BIK"}) {
            clip.label = std::string(folder).substr(0, 3) + " " + name;
            if (!media::WriteClip((fs::path(root) / folder / name).string(), clip, &message)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace mkdata
