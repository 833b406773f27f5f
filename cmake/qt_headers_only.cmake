# Qt 6 as headers only, for a cross build whose target system has no Qt libraries here
# (Debian has no Qt for MinGW). The targets below stand for Qt's own: they carry the build
# machine's Qt headers (as system headers, like Qt's), the definitions of Qt's MinGW
# configuration (its win32-g++ mkspec: UNICODE _UNICODE WIN32 MINGW_HAS_SECURE_API=1) and
# those Qt's own targets add everywhere, and they link nothing. moc, uic and rcc are the build machine's: their
# output does not depend on the target system. Used by QUILLMARK_CHECK_UI_SOURCES.

find_program(QUILLMARK_HOST_QTPATHS NAMES qtpaths6 qtpaths NO_CMAKE_FIND_ROOT_PATH REQUIRED)
foreach(query QT_INSTALL_HEADERS QT_HOST_LIBEXECS QT_VERSION)
  execute_process(COMMAND ${QUILLMARK_HOST_QTPATHS} --query ${query}
    OUTPUT_VARIABLE qt_${query} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
if(NOT EXISTS "${qt_QT_INSTALL_HEADERS}/QtWidgets/QWidget" OR NOT qt_QT_VERSION VERSION_GREATER_EQUAL 6.4)
  message(FATAL_ERROR "The build machine's Qt 6.4 headers were not found (install qt6-base-dev)")
endif()
string(REPLACE "." ";" qt_version_parts "${qt_QT_VERSION}")
list(GET qt_version_parts 0 Qt6Core_VERSION_MAJOR)
list(GET qt_version_parts 1 Qt6Core_VERSION_MINOR)

add_library(Qt6::Platform INTERFACE IMPORTED)
set_target_properties(Qt6::Platform PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${qt_QT_INSTALL_HEADERS}"
  INTERFACE_COMPILE_FEATURES cxx_std_17
  INTERFACE_COMPILE_DEFINITIONS
    "QT_NO_JAVA_STYLE_ITERATORS;QT_NO_NARROWING_CONVERSIONS_IN_CONNECT;$<$<NOT:$<CONFIG:Debug>>:QT_NO_DEBUG>;UNICODE;_UNICODE;WIN32;MINGW_HAS_SECURE_API=1"
  INTERFACE_COMPILE_OPTIONS "$<$<COMPILE_LANGUAGE:CXX>:-Wsuggest-override>")

# Module name, its definition, the modules it builds on.
foreach(module Core:CORE: Gui:GUI:Core Widgets:WIDGETS:Gui Network:NETWORK:Core)
  string(REPLACE ":" ";" module "${module}")
  list(GET module 0 name)
  list(GET module 1 define)
  list(GET module 2 base)
  set(links Qt6::Platform)
  if(base)
    list(APPEND links Qt6::${base})
  endif()
  add_library(Qt6::${name} INTERFACE IMPORTED)
  set_target_properties(Qt6::${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${qt_QT_INSTALL_HEADERS}/Qt${name}"
    INTERFACE_COMPILE_DEFINITIONS QT_${define}_LIB
    INTERFACE_LINK_LIBRARIES "${links}"
    INTERFACE_QT_MAJOR_VERSION ${Qt6Core_VERSION_MAJOR})
endforeach()

foreach(tool moc uic rcc)
  find_program(QUILLMARK_HOST_${tool} ${tool} PATHS "${qt_QT_HOST_LIBEXECS}" NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
endforeach()
