list(APPEND KORVALO_CORE_SOURCES
  egofile/egofields.cpp egofile/egofields.h
  egofile/egofile.h
  egofile/egoreader.cpp egofile/egoreader.h
  egofile/egowriter.cpp
  egofile/platformfile.cpp egofile/platformfile.h
  egofile/safefile.cpp egofile/safefile.h
  egofile/textcodec.cpp egofile/textcodec.h)
