#pragma once

class Tdm_rdp;

// What a walk over the whole log (printing, statistics) does around itself: raises Busy so the
// main window's change handlers stay still, lowering it however the walk ends, and first puts
// pending edits of the dive and its detail rows into the tables, as moving the table would.
class LogWalk {
public:
    // Throws AppError when a pending edit cannot be posted; Busy is then not raised.
    explicit LogWalk(Tdm_rdp& tables);
    ~LogWalk();
    LogWalk(const LogWalk&) = delete;
    LogWalk& operator=(const LogWalk&) = delete;

private:
    Tdm_rdp& tables_;
};
