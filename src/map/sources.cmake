list(APPEND KORVALO_CORE_SOURCES
  map/geometry.cpp map/geometry.h
  map/imageexport.cpp map/imageexport.h
  map/jpegwriter.cpp map/jpegwriter.h
  map/render.cpp map/render.h
  map/viewswitches.cpp map/viewswitches.h)
