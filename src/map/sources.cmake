list(APPEND KORVALO_CORE_SOURCES
  map/geometry.cpp map/geometry.h
  map/render.cpp map/render.h
  map/viewswitches.cpp map/viewswitches.h)
