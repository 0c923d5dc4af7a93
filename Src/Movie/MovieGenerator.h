#pragma once
// The create-movie command. (The movie comes with the movie issue.)
void MenuCreateMovie();
