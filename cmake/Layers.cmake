# The layers of the program, lowest first. A folder may include headers of, and link, only its own
# layer and the layers before it. This list is the one place the order is written: the top-level
# CMakeLists.txt adds the folders in this order, tests/CheckLayers.cmake enforces it, and
# docs/architecture.md shows it (the check compares the two).
set(KAVO_LAYERS platform base rules raster graphics widgets display media app crash puzzle game)
