# Build time: nearly every file includes Qt's headers, and every test GoogleTest's, which cost
# more to parse than the file itself. They are precompiled once for each kind of target and
# reused by every target of that kind. GCC takes a precompiled header only with the same
# position independence (libraries -fPIC, executables -fPIE) and the same Qt module macros
# (QtGui's and QtWidgets' decide), hence the kinds: libraries and tests, each with or without
# widgets. Targets with QtGui but no widgets or with flags of their own, and the other
# programs, compile as before.
# Applied after all targets exist (tolvane_precompile_headers()), so CMakeLists files that add
# sources or libraries need nothing of it.

option(TOLVANE_PCH "Precompile the Qt and GoogleTest headers" ON)

# ccache takes precompiled headers only with this sloppiness; set here so that a ccache
# launcher from the environment keeps hitting.
if(TOLVANE_PCH AND CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache" AND NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "SLOPPINESS")
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

set(TOLVANE_PCH_CORE <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QLocale> <QMap> <QObject> <QPointer> <QSet> <QString> <QStringList> <QTimer> <QUrl> <QVariant>
    <algorithm> <functional> <memory> <optional> <vector>)
set(TOLVANE_PCH_WIDGETS <QAction> <QApplication> <QHBoxLayout> <QLabel> <QLineEdit> <QMessageBox> <QPainter>
    <QPushButton> <QVBoxLayout> <QWidget>)
# Not QtTest's: it gives each test target a macro of its own (QT_TESTCASE_BUILDDIR).
set(TOLVANE_PCH_TEST <gtest/gtest.h> <QTemporaryDir>)

# "widgets", "gui" or "core": what \a target compiles with of Qt, through our own libraries
# too; "other" when a library it uses brings flags of its own (SDL 2's -D_REENTRANT).
function(tolvane_qt_kind target result)
    get_target_property(queue ${target} LINK_LIBRARIES)
    set(seen)
    set(kind core)
    while(queue)
        list(POP_FRONT queue item)
        # What a library links privately brings its users nothing to compile with.
        if(item MATCHES "^\\$<LINK_ONLY:" OR item IN_LIST seen OR NOT TARGET ${item})
            continue()
        endif()
        list(APPEND seen ${item})
        get_target_property(options ${item} INTERFACE_COMPILE_OPTIONS)
        get_target_property(definitions ${item} INTERFACE_COMPILE_DEFINITIONS)
        if(item MATCHES "^PkgConfig::" AND (options OR definitions))
            set(kind other)
            break()
        elseif(item STREQUAL "Qt6::Widgets")
            set(kind widgets)
        elseif(item MATCHES "^Qt6::(Gui|Svg)$" AND NOT kind STREQUAL "widgets")
            set(kind gui)
        endif()
        get_target_property(libraries ${item} INTERFACE_LINK_LIBRARIES)
        if(libraries)
            list(APPEND queue ${libraries})
        endif()
    endwhile()
    set(${result} ${kind} PARENT_SCOPE)
endfunction()

function(tolvane_all_targets directory result)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        tolvane_all_targets(${subdirectory} more)
        list(APPEND targets ${more})
    endforeach()
    set(${result} ${targets} PARENT_SCOPE)
endfunction()

# The target that builds the precompiled header of one kind; the others of the kind reuse it.
function(tolvane_pch_host name type kind headers)
    set(source ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "int main() { return 0; }\n")
    if(type STREQUAL "EXECUTABLE")
        add_executable(${name} EXCLUDE_FROM_ALL ${source})
        target_link_libraries(${name} PRIVATE GTest::gtest)
    else()
        add_library(${name} OBJECT EXCLUDE_FROM_ALL ${source})
    endif()
    target_link_libraries(${name} PRIVATE Qt6::Core $<$<STREQUAL:${kind},widgets>:Qt6::Widgets>)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF)
    target_precompile_headers(${name} PRIVATE ${headers})
endfunction()

# Our libraries, and the test executables (those linking GoogleTest), reuse the header of their kind.
function(tolvane_precompile_headers)
    if(NOT TOLVANE_PCH)
        return()
    endif()
    tolvane_all_targets(${CMAKE_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(libraries ${target} LINK_LIBRARIES)
        get_target_property(own ${target} PRECOMPILE_HEADERS)
        if(own OR NOT libraries MATCHES "Qt6::|tolvane_")
            continue()
        endif()
        if(type STREQUAL "STATIC_LIBRARY")
            set(prefix lib)
            set(headers ${TOLVANE_PCH_CORE})
        elseif(type STREQUAL "EXECUTABLE" AND libraries MATCHES "GTest::")
            set(prefix test)
            set(headers ${TOLVANE_PCH_CORE} ${TOLVANE_PCH_TEST})
        else()
            continue()
        endif()
        tolvane_qt_kind(${target} kind)
        if(kind MATCHES "gui|other")
            continue()
        elseif(kind STREQUAL "widgets")
            list(APPEND headers ${TOLVANE_PCH_WIDGETS})
        endif()
        set(host tolvane_pch_${prefix}_${kind})
        if(NOT TARGET ${host})
            tolvane_pch_host(${host} ${type} ${kind} "${headers}")
        endif()
        target_precompile_headers(${target} REUSE_FROM ${host})
        # A header a target cannot take (a macro of its own that Qt's headers look at) is only
        # slower: the compiler reads the headers themselves and says why.
        target_compile_options(${target} PRIVATE -Wno-error=invalid-pch)
    endforeach()
endfunction()
