; A starting point for a new project: a window and a main loop that prints the frame rate.
[template]
total=14
1=// Window and display
2=SetWindowTitle("My Game")
3=SetWindowSize(1024, 768, 0)
4=SetWindowAllowResize(1)
5=SetVirtualResolution(1024, 768)
6=SetOrientationAllowed(1, 1, 1, 1)
7=SetSyncRate(60, 0)
8=UseNewDefaultFonts(1)
9=
10=do
11="    Print("FPS: " + str(ScreenFPS(), 1))"
12="    Sync()"
13=loop
14=// End of the sample template
