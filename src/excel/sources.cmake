list(APPEND KORVALO_CORE_SOURCES
  excel/workbook.cpp excel/workbook.h
  excel/readers.h
  excel/ziparchive.cpp excel/ziparchive.h
  excel/xlsxreader.cpp
  excel/odsreader.cpp
  excel/csvreader.cpp
  excel/xlsreader.cpp
  excel/numberformat.cpp excel/numberformat.h
  excel/import.cpp excel/import.h)
