@echo off
rem Runs plenum with the arguments given and keeps its output on screen until Enter.
"%~dp0plenum.exe" %*
set status=%ERRORLEVEL%
echo.
set /p "dummy=plenum ended with status %status%. Press <Enter> to close..."
exit /b %status%
