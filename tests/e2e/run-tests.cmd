@echo off
rem Plovik Bridge's end-to-end tests on Windows, from this folder:
rem   run-tests.cmd              every suite (about 9 minutes)
rem   run-tests.cmd Transfer.*   those a GoogleTest filter names
rem They make, fill and empty the WSJT-X and JTDX folders of %LOCALAPPDATA%,
rem and refuse to start where one holds anything they did not make. Run
rem them only on a machine or VM kept for testing.
setlocal
cd /d "%~dp0"
set filter=%~1
if "%filter%"=="" set filter=*
e2e_tests.exe --guard-instance-folders "--gtest_filter=%filter%"
set status=%errorlevel%
if "%status%"=="0" (echo run-tests: passed) else (echo run-tests: FAILED, exit code %status%)
exit /b %status%
