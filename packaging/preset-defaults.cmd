@echo off
rem Presets Quillmarrow 2004's defaults for a user who has none yet: a user's stored choices are
rem never overwritten. As a logon script it may start in a network folder (\\server\share), which
rem cmd.exe cannot use as its current folder, so preset-defaults.reg is found beside this script
rem (%~dp0) rather than in the current folder.
reg query "HKCU\Software\Vendrakel\Quillmarrow 2004" >nul 2>&1
if not errorlevel 1 exit /b 0
reg import "%~dp0preset-defaults.reg" >nul 2>&1
exit /b %errorlevel%
