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

execute_process(COMMAND "${TEST_EXE}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST_EXE} failed: ${result}")
endif()
