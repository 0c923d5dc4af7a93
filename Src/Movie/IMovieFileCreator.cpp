#include "Movie/IMovieFileCreator.h"

IMovieFileCreator::IMovieFileCreator(int32_t totalFrames_) : totalFrames(totalFrames_) {}

IMovieFileCreator::~IMovieFileCreator() = default;
