// What an operation on the document changed that is on screen: the main window answers
// it with ShowEntry, ShowFace, ShowKey(position) and ShowCurrentKey.
#pragma once

#include <algorithm>
#include <vector>

namespace sw::model {

struct Refresh {
    bool entry = false;       // ShowEntry: name, model, face background, the whole grid
    bool face = false;        // ShowFace: every position of the current face
    bool currentKey = false;  // ShowCurrentKey: selection look, auto-dial box, format boxes
    std::vector<int> positions;  // ShowKey(position) for these grid positions

    void Key(int position) {
        if (std::find(positions.begin(), positions.end(), position) == positions.end())
            positions.push_back(position);
    }
    bool Empty() const { return !entry && !face && !currentKey && positions.empty(); }
};

}  // namespace sw::model
