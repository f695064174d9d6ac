@echo off
rem Times tessaro.com /audit on a machine without Group Policy, then again once the machine has
rem the 15 KB baseline as its local policy and three policy objects in the history.
rem   bench-policy.cmd BENCH.exe ROUNDS tessaro.com FIXTURE-FOLDER
setlocal
set bench=%1
set rounds=%2
set com=%3
set pol=%~4
%bench% %rounds% no-policy %com% @/audit
set machine=%SystemRoot%\System32\GroupPolicy\Machine
mkdir "%machine%" C:\gpo\a\Machine C:\gpo\b\Machine 2>nul
copy /y "%pol%\windows-baseline-machine.pol" "%machine%\Registry.pol" >nul
copy /y "%pol%\chrome-baseline-machine.pol" C:\gpo\a\Machine\Registry.pol >nul
copy /y "%pol%\windows-baseline-machine.pol" C:\gpo\b\Machine\Registry.pol >nul
set history=HKLM\Software\Microsoft\Windows\CurrentVersion\Group Policy\History\{35378EAC-683F-11D2-A89A-00C04FBBCFA2}
call :applied 0 "Local Group Policy" "%machine%" LocalGPO
call :applied 1 "Browser baseline" C:\gpo\a\Machine {A}
call :applied 2 "Workstation baseline" C:\gpo\b\Machine {B}
%bench% %rounds% policy %com% @/audit
exit /b

:applied
reg add "%history%\%1" /v DisplayName /d %2 /f >nul
reg add "%history%\%1" /v FileSysPath /d %3 /f >nul
reg add "%history%\%1" /v GPOName /d %4 /f >nul
exit /b
