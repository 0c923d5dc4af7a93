#pragma once
namespace CadHost {
class Session;
// The main job: the add-on at work on the embedded sample. Returns the exit status.
int RunDemo(Session& session);
}  // namespace CadHost
