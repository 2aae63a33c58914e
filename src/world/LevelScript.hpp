#pragma once

#include <string>
#include <vector>

// The grid that a level script describes, read in a fresh interpreter that is closed again before
// anything is built from it.
//
// Format: the chunk returns (as its last result) a table whose `layers` holds at least two tables.
//   layers[1].width, layers[1].height  the grid in cells (positive, at most a million cells)
//   layers[1].data                     tile numbers row by row from the top-left cell; 0 is empty
//   layers[2].data                     same indexing; a non-zero entry lets the cell take the key
// Sizes and tile numbers are what Lua takes for a number, numeric strings such as "30" included.
// Entries missing at the end of a data array read as 0. Other fields are ignored. A script that
// runs for ever or claims more than 2 MB is stopped.
class LevelScript {
public:
    // False when the file cannot be used; getProblem then says why, and the grid is empty.
    bool load(const std::string& path);

    int getWidth() const { return static_cast<int>(width); }
    int getHeight() const { return static_cast<int>(height); }
    // width x height entries each, in cell order.
    const std::vector<int>& getTiles() const { return tiles; }
    const std::vector<int>& getMarkers() const { return markers; }
    const std::string& getProblem() const { return problem; }

private:
    bool read(const std::string& path);

    long width = 0;
    long height = 0;
    std::vector<int> tiles;
    std::vector<int> markers;
    std::string problem;
};
