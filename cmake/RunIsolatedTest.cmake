# Runs TEST_EXE with its own empty configuration, data and runtime folders below TEST_HOME.
file(REMOVE_RECURSE "${TEST_HOME}")
foreach(dir config data cache runtime tmp)
    file(MAKE_DIRECTORY "${TEST_HOME}/${dir}")
endforeach()
file(CHMOD "${TEST_HOME}/runtime" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(ENV{HOME} "${TEST_HOME}")
set(ENV{XDG_CONFIG_HOME} "${TEST_HOME}/config")
set(ENV{XDG_DATA_HOME} "${TEST_HOME}/data")
set(ENV{XDG_CACHE_HOME} "${TEST_HOME}/cache")
set(ENV{XDG_RUNTIME_DIR} "${TEST_HOME}/runtime")
set(ENV{TMPDIR} "${TEST_HOME}/tmp")
set(ENV{QT_QPA_PLATFORM} "offscreen")

# On Windows the settings are registry values below HKEY_CURRENT_USER: the program
# takes every key below NUMBRILL_REGISTRY_ROOT instead, a key of this run's own that
# is removed afterwards.
if(CMAKE_HOST_WIN32)
    get_filename_component(test_name "${TEST_EXE}" NAME_WE)
    string(RANDOM LENGTH 8 ALPHABET 0123456789abcdef run)
    set(registry_root "software\\kerravane-test-${test_name}-${run}")
    set(ENV{NUMBRILL_REGISTRY_ROOT} "${registry_root}")
    file(TO_NATIVE_PATH "${TEST_HOME}/tmp" temp)
    set(ENV{TEMP} "${temp}")
    set(ENV{TMP} "${temp}")
endif()

execute_process(COMMAND "${TEST_EXE}" RESULT_VARIABLE result)

if(CMAKE_HOST_WIN32)
    execute_process(COMMAND reg delete "HKCU\\${registry_root}" /f OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST_EXE} failed: ${result}")
endif()
