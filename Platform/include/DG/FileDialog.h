#pragma once
// The toolkit's open and save dialogs. Nothing is shown: the user agent answers in place of a
// person (DG::CurrentUserAgent().AnswerFileDialog); an agent without an answer cancels.
#include <cstdint>
#include <string>
#include <vector>

#include "DG/UserAgent.h"
#include "FTM/FileTypeManager.h"
#include "IO/Location.h"

namespace DG {

class FileDialog {
public:
    enum Type { OpenFile = 0, OpenMultiFile = 1, OpenFolder = 2, OpenFileOrFolder = 3, Save = 4 };

    explicit FileDialog(Type type);

    Type GetType() const { return type_; }
    // Adds a filter for one file type; returns its index (the first filter is 0).
    int32_t AddFilter(const FTM::FileType& type);
    // Adds a filter for every type of a group, in registration order; returns how many.
    int32_t AddFilters(const FTM::FileTypeManager& manager, FTM::GroupID group);
    int32_t GetFilterCount() const { return static_cast<int32_t>(filters_.size()); }

    void SetTitle(const std::string& title) { title_ = title; }
    // The folder or file the dialog starts at; an empty location leaves the choice to the agent.
    void SetStartLocation(const IO::Location& location) { start_ = location; }
    // The filter chosen when the dialog opens; an index outside the filters selects filter 0.
    void SelectFilter(int32_t index);
    int32_t GetSelectedFilter() const { return selectedFilter_; }

    // Runs the dialog. True when the user confirmed a file: it is then GetSelectedFile(), as an
    // absolute path, and GetSelectedFilter() is the filter the user ended with (an answer naming no
    // filter of this dialog keeps the one chosen at the start). An answer without a path cancels.
    bool Invoke();
    const IO::Location& GetSelectedFile() const { return selected_; }

private:
    Type type_;
    std::string title_;
    std::vector<std::string> filters_;
    IO::Location start_;
    int32_t selectedFilter_ = 0;
    IO::Location selected_;
};

}  // namespace DG
