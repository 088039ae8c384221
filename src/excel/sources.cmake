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
list(APPEND KORVALO_GUI_SOURCES
  excel/importdialog.cpp excel/importdialog.h
  excel/nodesexceldialog.cpp excel/nodesexceldialog.h
  excel/linesexceldialog.cpp excel/linesexceldialog.h
  excel/excelimports.cpp excel/excelimports.h)
