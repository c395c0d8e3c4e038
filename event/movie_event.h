// The event movies: a full-screen movie played inside a stage. While it
// plays the stage music is off and only the events tick (the stage
// manager's movie-time update); when it ends or is skipped the stage
// music comes back, the stage's exit may start, and the event ends.
// Stage 1's movies are the training movies, kept in a folder of their own.
#pragma once

#include <cstdint>
#include <string>

#include "event/event_record.h"

// The movie's file under the data root for an event id: "\ENGEVTMV\0801.BIK"
// and the like, by the game's language (0 the Chinese folders). Event
// 79010100 shows hero 1's character's training (`character`, -1 without a
// hero); an id with no file (that event for any other character) answers "".
std::string MovieEventFile(int32_t eventId, int32_t language, int32_t character);
// "0150.BIK" for movie 150, "1701.BIK" for movie 1701.
std::string MovieFileName(int32_t movieNumber);

class CSMovieEvent : public EventRecord {
public:
    char *MoviePath;         // owned full path; null when the event has no movie
    int32_t StartCondition;  // 100 .. 500 the shared tests, else LinkEndNum's value
    uint8_t ExitAfter;       // 1: the stage's exit starts once the movie is over
    uint8_t Playing;         // 1 while this event's movie plays

    // The per-event load: the condition, the exit flag and the movie's path.
    void Setup(int32_t startCondition, uint8_t exitAfter);
    uint8_t Check(float dt);
    // Starts the movie (once no other plays), then waits for its end.
    void Update(float dt);
    // The skip key: ends the movie as its end would.
    void Skip();
    // The stage is left: the path freed, a movie of this event stopped.
    void Release();

private:
    // The movie is over: the music back, the exit when asked, the end.
    void Finish(float exitDt);
};
