#pragma once
// Reads movies back with ffprobe and ffmpeg, which share no code with the writer under test.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace MovieProbe {

// Standard output of a shell command; empty when it could not run.
inline std::string Run(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline std::string Quote(const std::string& path) {
    std::string q = "'";
    for (char c : path) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// key=value lines of one stream ("v:0", "s:0"), frames counted by decoding.
inline std::map<std::string, std::string> Stream(const std::string& movie,
                                                 const std::string& which) {
    const std::string out =
        Run("ffprobe -v error -count_frames -count_packets -select_streams " + which +
            " -show_entries stream=codec_type,codec_name,codec_tag_string,width,height,"
            "r_frame_rate,nb_read_frames,nb_read_packets -of default=nw=1 " +
            Quote(movie) + " 2>/dev/null");
    std::map<std::string, std::string> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    return values;
}

struct TimedText {
    long startMs = 0;
    long endMs = 0;
    std::string text;  // lines joined by '\n'
    friend bool operator==(const TimedText&, const TimedText&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TimedText& t) {
        return out << t.startMs << ".." << t.endMs << " \"" << t.text << "\"";
    }
};

inline long SrtTime(const std::string& t) {  // HH:MM:SS,mmm
    return ((std::stol(t.substr(0, 2)) * 60 + std::stol(t.substr(3, 2))) * 60 +
            std::stol(t.substr(6, 2))) *
               1000 +
           std::stol(t.substr(9, 3));
}

// The first text track as SubRip: every sample with its time and text.
inline std::vector<TimedText> Texts(const std::string& movie) {
    const std::string srt =
        Run("ffmpeg -v error -i " + Quote(movie) + " -map 0:s:0 -f srt - 2>/dev/null");
    std::vector<TimedText> texts;
    std::istringstream lines(srt);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t arrow = line.find(" --> ");
        if (arrow == std::string::npos) continue;
        TimedText t;
        t.startMs = SrtTime(line.substr(0, 12));
        t.endMs = SrtTime(line.substr(arrow + 5, 12));
        for (std::string textLine; std::getline(lines, textLine) && !textLine.empty();) {
            if (textLine.back() == '\r') textLine.pop_back();
            t.text += (t.text.empty() ? "" : "\n") + textLine;
        }
        // The converter marks the track's font with <font> tags; they are not the text.
        for (size_t open; (open = t.text.find("<font")) != std::string::npos;)
            t.text.erase(open, t.text.find('>', open) + 1 - open);
        for (size_t close; (close = t.text.find("</font>")) != std::string::npos;)
            t.text.erase(close, 7);
        texts.push_back(t);
    }
    return texts;
}

// Every picture of the first video track, decoded to RGB (3 bytes a pixel, rows from the top).
inline std::vector<std::vector<unsigned char>> Pictures(const std::string& movie, int width,
                                                        int height) {
    const std::string raw = Run("ffmpeg -v error -i " + Quote(movie) +
                                " -map 0:v:0 -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
    const size_t size = static_cast<size_t>(width) * height * 3;
    std::vector<std::vector<unsigned char>> pictures;
    for (size_t at = 0; size > 0 && at + size <= raw.size(); at += size)
        pictures.emplace_back(raw.begin() + static_cast<long>(at),
                              raw.begin() + static_cast<long>(at + size));
    return pictures;
}

}  // namespace MovieProbe
