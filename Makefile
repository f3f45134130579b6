# The two commands of the README. Each installs what it needs first.
.PHONY: test demo
test:
	tools/run-tests
demo:
	tools/run-demo
	demo/pwdemo
