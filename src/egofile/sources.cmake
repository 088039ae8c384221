list(APPEND KORVALO_CORE_SOURCES
  egofile/egofile.cpp egofile/egofile.h
  egofile/platformfile.cpp egofile/platformfile.h
  egofile/safefile.cpp egofile/safefile.h
  egofile/textcodec.cpp egofile/textcodec.h)
