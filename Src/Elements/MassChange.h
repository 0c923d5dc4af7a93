#pragma once
// The host's bracket around many element changes (it redraws and rebuilds once, when the bracket
// closes), open for the guard's lifetime and closed on every way out.
class MassChange {
public:
    MassChange();
    ~MassChange();
    MassChange(const MassChange&) = delete;
    MassChange& operator=(const MassChange&) = delete;

private:
    bool open = false;
};
