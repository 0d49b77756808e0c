1<jsp:scriptlet><![CDATA[ if (a<b) x(); ]]></jsp:scriptlet>
<jsp:scriptlet> if (a)
   x(); </jsp:scriptlet>
<%@ page import="java.util.*" import="java.io.*" %><%@>
<<%= tag %>>x</<%= tag %>>
<a href="<%= url("x") %>" class=k>link</a>
